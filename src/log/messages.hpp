// Internal: every text the module logs, in one place. Not installed.
#pragma once

#include <cstddef>

namespace QUORVEL
{
namespace detail
{
/// The module's fixed messages.
enum class line : unsigned char
{
    newobject,        // "New fixedint object!"
    done,             // "Done."
    resizerequested,  // "Resize requested in fixedint."
    deleted,          // "Deleted fixedint object."
    firstobject,      // "First fixedint/fixedfloat object created!"
    startinit,        // "Start Initialization of Quorvel Arithmetic module."
    settingup,        // "Setting up log dumper..."
    initdone,         // "Done. Init Successful"
    terminatecalled,  // "Terminate called. Preparing report."
    openedfile,       // "Opened File."
    rethrowing,       // "Rethrowing exception and getting type."
    logend,           // "--- LOG END: NO FURTHER MESSAGES ---"
    count
};

/// A message's text and its length.
struct messagetext
{
    const char* text;
    std::size_t length;
};

template <std::size_t N>
constexpr messagetext textof(const char (&text)[N])
{
    return {text, N - 1};
}

/// The texts of the fixed messages, in the order of `line`.
constexpr messagetext fixedmessages[] = {
    textof("New fixedint object!"),
    textof("Done."),
    textof("Resize requested in fixedint."),
    textof("Deleted fixedint object."),
    textof("First fixedint/fixedfloat object created!"),
    textof("Start Initialization of Quorvel Arithmetic module."),
    textof("Setting up log dumper..."),
    textof("Done. Init Successful"),
    textof("Terminate called. Preparing report."),
    textof("Opened File."),
    textof("Rethrowing exception and getting type."),
    textof("--- LOG END: NO FURTHER MESSAGES ---"),
};
static_assert(sizeof fixedmessages / sizeof fixedmessages[0] == std::size_t(line::count),
              "one text per fixed line");

constexpr const messagetext& messageof(line which)
{
    return fixedmessages[static_cast<unsigned char>(which)];
}

/// The width message: this text, then the width in decimal.
constexpr messagetext widthmessage = textof("Resizing Digits to: ");

/// The report's lines that name the exception: these texts, then the type and the what() text,
/// each "UNKNOWN" when there is no std::exception to name.
constexpr char exceptiontypemessage[] = "Exception type: ";
constexpr char whatmessage[] = "what(): ";
constexpr char unknownexception[] = "UNKNOWN";
}  // namespace detail
}  // namespace QUORVEL
