#include "vmouse/model/FaultTable.h"

namespace vmouse {
namespace {

// Names are ASCII, so a wide command-line word matches them character by character.
bool SameWord(const char* name, const wchar_t* word) {
    for (; *name != '\0'; ++name, ++word) {
        if (*word != static_cast<wchar_t>(*name)) return false;
    }
    return *word == L'\0';
}

}  // namespace

const FaultKind* FindFault(const wchar_t* name) {
    if (name == nullptr) return nullptr;
    for (const FaultKind& kind : kFaultKinds) {
        if (SameWord(kind.name, name)) return &kind;
    }
    return nullptr;
}

bool ParseFaultArgument(FaultArgument argument, const wchar_t* text, uint32_t& value) {
    if (text == nullptr) return false;
    if (argument == FaultArgument::OnOff) {
        if (SameWord("on", text)) return value = 1, true;
        if (SameWord("off", text)) return value = 0, true;
        return false;
    }
    if (*text == L'\0') return false;
    uint64_t n = 0;
    for (; *text != L'\0'; ++text) {
        if (*text < L'0' || *text > L'9') return false;
        n = n * 10 + static_cast<uint64_t>(*text - L'0');
        if (n > kFaultArgumentMax) return false;
    }
    value = static_cast<uint32_t>(n);
    return true;
}

const char* FaultArgumentText(FaultArgument argument) {
    switch (argument) {
        case FaultArgument::Count:
            return "N";
        case FaultArgument::Milliseconds:
            return "MS";
        case FaultArgument::OnOff:
            return "on|off";
    }
    return "?";
}

}  // namespace vmouse
