#include "files/patterncommands.h"
#include "fuzzsupport.h"
#include "model/patternfile.h"
#include "recordingdesktop.h"
#include "session/workbench.h"
#include "training/construction.h"

namespace {

// One workbench for the run, with the default 2-2-1 network, for pasted rows.
Workbench &bench()
{
    static SilentUi ui;
    static EngineApi engine(linkedEngine());
    static RecordingDesktop desktop;
    static Workbench wb(ui, engine, desktop);
    static const bool built = [] {
        resetModel(wb);
        return buildNetwork(wb);
    }();
    (void)built;
    return wb;
}

} // namespace

// A pattern file's text read for two networks, and the same text as pasted rows.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString text = fuzzText(data, size);
    parsePatternText(text, 2, 1);
    parsePatternText(text, 3, 2, [](int) {});
    countRows(text, 3);
    pastePatterns(bench(), text, QStringLiteral("fuzz"));
    pasteTests(bench(), text, QStringLiteral(" "));
    return 0;
}
