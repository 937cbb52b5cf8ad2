// RebuildRows on arbitrary images and command marks, then a run of edits chosen by the input;
// after each one row i must still be slot i.
#include <cstddef>
#include <cstdint>

#include "macro/MacroEditing.h"
#include "fuzz/MacroInvariants.h"

using macro::ChooseCommand;
using macro::CommandSlots;
using macro::DelayDown;
using macro::DelayUp;
using macro::DeleteSelectedEvent;
using macro::InsertCommand;
using macro::KeyNames;
using macro::kMacroImageSize;
using macro::kMacroSlotCount;
using macro::MacroDocument;
using macro::MacroLanguage;
using macro::MarkLast;
using macro::MoveSelectedDown;
using macro::MoveSelectedUp;
using macro::RebuildRows;
using macro::SelectRow;
using macro::SetDelay;

namespace {

class NumberNames final : public KeyNames {
  public:
    std::wstring KeyNameText(std::uint32_t word) const override {
        return std::to_wstring(word >> 16);
    }
};

const wchar_t* const kTimes[] = {L"0", L"250", L"6300", L"9999", L"", L"-5", L"x", L"700"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < kMacroImageSize + 6) return 0;
    const MacroLanguage language = MacroLanguage::BuiltIn();
    MacroDocument document;
    for (std::size_t i = 0; i < document.image.size(); ++i) document.image[i] = data[i];
    unsigned long long mark = 0;
    for (int i = 0; i < 6; ++i)
        mark |= static_cast<unsigned long long>(data[kMacroImageSize + i]) << (8 * i);
    document.commands = CommandSlots(mark & ((1ull << kMacroSlotCount) - 1));
    RebuildRows(document, NumberNames{}, language);
    RequireRowsAreSlots(document);

    for (std::size_t i = kMacroImageSize + 6; i + 1 < size; i += 2) {
        const int arg = data[i + 1];
        switch (data[i] % 8) {
            case 0:
                SelectRow(document, arg % 45 - 2);
                break;
            case 1:
                SetDelay(document, kTimes[arg % 8]);
                break;
            case 2:
                DeleteSelectedEvent(document);
                break;
            case 3:
                MoveSelectedUp(document);
                break;
            case 4:
                MoveSelectedDown(document);
                break;
            case 5:
                ChooseCommand(document, arg % 21 - 1, language);
                break;
            case 6:
                InsertCommand(document, language);
                break;
            case 7:
                DelayUp(kTimes[arg % 8]);
                DelayDown(kTimes[arg % 8]);
                break;
        }
        RequireRowsAreSlots(document);
    }
    MarkLast(document.image, document.RowCount(), true);
    return 0;
}
