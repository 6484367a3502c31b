# 32-bit x86 build with the host compiler and -m32 (Debian's g++-12-multilib). No 32-bit GMP or
# {fmt} is looked for: the system's are 64-bit.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)
# The kernel's <asm/...> headers are the same for both x86 ABIs; Debian links them for -m32 from
# gcc-multilib, which cannot be installed beside a cross compiler, so look there last.
set(CMAKE_C_FLAGS_INIT "-m32 -idirafter /usr/include/x86_64-linux-gnu")
set(CMAKE_CXX_FLAGS_INIT "-m32 -idirafter /usr/include/x86_64-linux-gnu")
set(CMAKE_EXE_LINKER_FLAGS_INIT -m32)
set(CMAKE_SHARED_LINKER_FLAGS_INIT -m32)
set(CMAKE_LIBRARY_ARCHITECTURE i386-linux-gnu)
set(CMAKE_DISABLE_FIND_PACKAGE_GMP ON)
set(CMAKE_DISABLE_FIND_PACKAGE_fmt ON)
# Where the kernel cannot run 32-bit programs itself (built without IA-32 emulation), CTest runs
# them under qemu-user, as for a cross build.
execute_process(COMMAND /lib/ld-linux.so.2 --version RESULT_VARIABLE quorvel_native32
                OUTPUT_QUIET ERROR_QUIET)
if(NOT quorvel_native32 EQUAL 0)
    set(CMAKE_CROSSCOMPILING_EMULATOR /usr/bin/qemu-i386)
endif()
