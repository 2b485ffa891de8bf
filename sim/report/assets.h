// The report page's HTML, CSS and JavaScript (sim/report/report.html,
// report.css and the script's parts in sim/report/script/), built into the
// program by sim/report/embed.cmake; each ends with a NUL.
#pragma once

namespace sim {

extern const char reportAsset_html[];
extern const char reportAsset_css[];
extern const char reportAsset_js[];
// The SHA-256 of the script, 64 hex digits.
extern const char reportScriptSha256[];

} // namespace sim
