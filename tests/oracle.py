"""The loop the oracles share: generate requests with their expected answers, run them through a
driver (one request per line in, one answer per line out) and report the answers that differ.

An oracle calls main(cases, peer, count): cases(rng, count, ask) yields (request, expected) pairs
and may ask the driver questions first with ask(list of requests) -> list of answers. The command
line is [--cases N] [--seed S] DRIVER... (an emulator and its words may come first).
"""
import random
import subprocess
import sys


def ask(driver, requests):
    run = subprocess.run(driver, input="\n".join(requests) + "\n", capture_output=True, text=True,
                         timeout=900)
    answers = run.stdout.split("\n")
    if run.returncode != 0 or len(answers) < len(requests):
        raise RuntimeError(f"the driver failed ({run.returncode}): {run.stderr}")
    return answers[:len(requests)]


def main(cases, peer, count):
    args = sys.argv[1:]
    seed = 20261209
    while args and args[0].startswith("--"):
        if args[0] == "--cases":
            count = int(args[1])
        elif args[0] == "--seed":
            seed = int(args[1])
        args = args[2:]
    driver = args
    rng = random.Random(seed)
    try:
        pairs = list(cases(rng, count, lambda requests: ask(driver, requests)))
        answers = ask(driver, [r for r, _ in pairs])
    except RuntimeError as failure:
        print(failure)
        return 1
    wrong = [(r, w, a) for (r, w), a in zip(pairs, answers) if w != a]
    for r, w, a in wrong[:20]:
        print(f"{r}\n  want {w}\n  got  {a}")
    print(f"{len(pairs)} cases (seed {seed}), {len(wrong)} differ from {peer}")
    return 1 if wrong else 0
