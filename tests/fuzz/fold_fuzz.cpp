// libFuzzer target: half-width folding and the title search's containment.
#include <cstdlib>
#include <vector>

#include "core/text/fold.h"
#include "fuzz/fuzz_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = lv::fuzz::AsText(data, size);
    std::vector<char> out(lv::text::FoldCapacity(text.size()));
    const std::size_t n = lv::text::FoldInto(text, out.data());
    if (n > out.size()) std::abort();
    const std::string folded = lv::text::FoldHalfWidth(text);
    if (folded != std::string_view(out.data(), n)) std::abort();
    // A text contains itself, and folding twice changes nothing more.
    lv::text::CFoldedMatcher self(text);
    if (!self.Contains(text)) std::abort();
    if (lv::text::FoldHalfWidth(folded) != folded) std::abort();
    // The first half searched in the whole never reads past either.
    lv::text::CFoldedMatcher half(text.substr(0, text.size() / 2));
    (void)half.Contains(text.substr(text.size() / 3));
    (void)lv::text::FindAtBoundary(text, text.substr(text.size() / 2));
    return 0;
}
