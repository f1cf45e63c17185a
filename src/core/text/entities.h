#pragma once
// HTML character references in a description as a recorder's page sends it
// ("Ｑ&amp;Ａ"), decoded for showing and copying; the stored file keeps them.
#include <string>
#include <string_view>

namespace lv::text {

// Decodes &amp; &lt; &gt; &quot; &apos; &nbsp; and numeric references
// (&#38; &#x26;) in code page 932 text. A reference to a character that code
// page 932 lacks, an unknown name or one without its ";" stays as written.
// A no-break space becomes a plain space, code page 932 having none.
std::string DecodeHtmlEntities(std::string_view cp932);

}  // namespace lv::text
