# The report page's script in parts, one per panel, in the order
# sim/report/embed.cmake puts them at @PARTS@ in report.js.in: inside its one
# function, indented two spaces, a blank line between two parts. They share
# that function's scope, so a part uses what another declares by name.
set(GH_REPORT_SCRIPT_PARTS
    shared.js       # the page's data; el, svg, svgTitle, clock, lastAtOrBefore
    run.js          # an index page stops here (index_page.js); the run's frames
                    # and times (frameAt, frameMs, endMs), names, title and summary
    actors.js       # actors with their owners and colours; positionAt
    map.js          # the map: grid, paths, marks (markKinds, symbol), markers (showMarkers)
    map_legend.js   # the map's legend
    timeline.js     # the timeline (showLine)
    expectations.js # the expectations table
    plot.js         # native calls per pass, the time cursor (px, cursor)
    calls.js        # the module's calls in the frame shown (showCalls)
    state.js        # what the module has in the game at the time shown (showState);
                    # the slider's marks
    time.js         # the slider, play and pause, #t= and keys: render, seek, now
    index_page.js   # index.html of `check --report-dir` (showIndex)
)
