// Text search and editing against a direct walk of the same rules, plus their invariants.
#include <cstdlib>

#include "FuzzInput.h"
#include "util/Text.h"

namespace {

// The character walk, one candidate at a time: the reference for the fast search.
int ReferenceFind(std::string_view t, std::string_view sought, int start, bool foldCase) {
    size_t skip = start > 1 ? static_cast<size_t>(start - 1) : 0;
    if (skip >= t.size()) return -1;
    if (sought.empty()) return 1;
    auto fold = [&](char c) { return (foldCase && c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
    for (size_t p = skip; t.size() - p >= sought.size();) {
        bool equal = true;
        for (size_t i = 0; i < sought.size() && equal; i++) equal = fold(t[p + i]) == fold(sought[i]);
        if (equal) return static_cast<int>(p + 1);
        size_t step = static_cast<uint8_t>(t[p]) >= 0x80 ? 2 : 1;
        if (t.size() - p < step) break;
        p += step;
    }
    return -1;
}

void Check(bool ok) {
    if (!ok) abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in(data, size);
    int start = in.Int() % 64;
    int count = in.Int() % 64;
    bool fold = in.Bool();
    Text sought = Text::Of(in.Piece());
    Text replacement = Text::Of(in.Piece());
    Text t = Text::Of(in.Piece());

    Check(FindText(t, sought, start, fold) == ReferenceFind(t.View(), sought.View(), start, fold));

    Text replaced = ReplaceAt(t, start, count, replacement);
    Check(replaced.Length() <= t.Length() + replacement.Length());
    Check(replaced.Length() >= t.Length() - std::max(count, 0));

    Text upper = ToUpper(t), lower = ToLower(t);
    Check(upper.Length() == t.Length() && lower.Length() == t.Length());
    Check(ToLower(upper) == ToLower(t));

    Text noSpaces = RemoveSpaces(t);
    Check(noSpaces.Length() <= t.Length());
    Check(FindText(noSpaces, " ") == -1);

    double n = ToNumber(t);
    (void)TruncToInt(n);
    (void)TextMid(t, start, count);
    (void)HexText(start);
    return 0;
}
