// Language texts as the language file can give them: any number present or missing, texts of
// any content up to the reader's 511 characters. Only numbers the tables name are ever asked for,
// every hint and list entry set is the file's text for its number, and lists never grow.
#include <map>
#include <set>

#include "fuzz/FuzzInput.h"
#include "ui/LanguageTables.h"

using namespace tavrine::ui;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    std::map<int, std::wstring> file;
    while (in.Left() > 2) {
        const int number = in.Byte() % 100;
        std::wstring text = in.SizedText().substr(0, 511);
        if (!text.empty()) file[number] = std::move(text);
    }
    const LanguageLookup lookup = [&](int number) -> std::optional<std::wstring> {
        Require(number >= 1 && number <= LastLanguageNumber());
        const auto it = file.find(number);
        if (it == file.end()) return std::nullopt;
        return it->second;
    };

    std::set<std::wstring_view> forms;
    for (const HintText& hint : HintTexts()) forms.insert(hint.form);
    for (const std::wstring_view form : forms) {
        std::map<std::wstring, std::wstring> set;
        int calls = 0;
        const int count =
            ApplyLanguageHints(form, lookup, [&](std::wstring_view c, const std::wstring& text) {
                set[std::wstring(c)] = text;
                ++calls;
                return true;
            });
        Require(count == calls);
        for (const HintText& hint : HintTexts()) {
            if (hint.form != form) continue;
            const auto want = file.find(hint.number);
            if (want != file.end()) Require(set.contains(std::wstring(hint.component)));
        }
    }

    for (const TextList* list : {&PopupListTexts(), &CommandListTexts()}) {
        const auto rebuilt = RebuiltEntries(*list, lookup);
        const auto positions = RebuiltPositions(*list, lookup);
        Require(positions.has_value() == rebuilt.has_value());
        if (positions) Require(positions->size() == rebuilt->size());
        Require(rebuilt.has_value() == file.contains(list->numbers[0]));
        if (rebuilt) {
            Require(rebuilt->size() <= list->numbers.size());
            for (const auto& entry : *rebuilt) Require(!entry.empty() && entry.size() <= 511);
        }
        Require(BuiltinEntries(*list).size() == list->builtins.size());
    }
    (void)SingleCommandNames(lookup);
    for (int index = -2; index <= 8; ++index) {
        const std::wstring text = MessageText(index, lookup);
        Require(text.empty() == (MessageLanguageNumber(index) == 0));
    }
    (void)PressWord(lookup);
    (void)ReleaseWord(lookup);
    return 0;
}
