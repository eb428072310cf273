// A 300 x 400 panel with a caption and a page of markup text full of anchors, shown on the
// screen: one paint, then the mouse moved across it 100 times, each move followed by the
// repaint it asks for (hovering over an anchor or leaving it repaints the panel). This is what a
// user's hand over a panel costs; bench/compare_with_base.sh runs it against an older commit.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QWidget>

#include <memory>
#include <string>

#include "controls/panel/fine_panel.h"
#include "tests/support/input.h"
#include "tests/support/render.h"

namespace {

constexpr int kWidth = 300;
constexpr int kHeight = 400;
constexpr int kMoves = 100;

// More wrapped text than the panel shows, two anchors in every sentence, with the tags a page uses.
std::string PageOfMarkup() {
    std::string text = "<p align=\"center\"><b>Album cards</b></p>";
    for (int i = 0; i < 24; ++i) {
        text += "<font color=\"#" + std::string(i % 2 ? "204080" : "402010") + "\">Card " + std::to_string(i) +
                "</font> shows <a href=\"card" + std::to_string(i) + "\">its picture</a> and <i>a caption</i> " +
                "under <u>it</u>; <a href=\"more" + std::to_string(i) + "\">more</a>.";
        text += i % 6 == 5 ? "<br><hr>" : " ";
    }
    return text;
}

struct ShownPanel {
    ShownPanel() {
        test_support::EnsureApplication();
        host = std::make_unique<ui::TCustomControl>(nullptr);
        host->SetBounds(0, 0, kWidth, kHeight);
        panel = new panel::TFinePanel(host.get());  // owned by the host
        panel->SetParent(host.get());
        panel->SetBounds(0, 0, kWidth, kHeight);
        panel->Caption().SetVisible(true);
        panel->Caption().SetText("<b>Pictures</b> of the <a href=\"album\">album</a>");
        panel->SetHover(true);
        panel->SetText(PageOfMarkup());
        host->Widget()->show();
        QApplication::processEvents();
    }

    void PaintPending() { QApplication::processEvents(); }

    std::unique_ptr<ui::TCustomControl> host;
    panel::TFinePanel* panel = nullptr;
};

void BM_PanelPaintAndHover(benchmark::State& state) {
    ShownPanel shown;
    long paints = 0;
    shown.panel->OnPaint = [&](ui::TPersistent*, ui::TCanvas&, const ui::TRect&) { ++paints; };
    for (auto _ : state) {
        shown.panel->Invalidate();
        shown.PaintPending();
        // A diagonal sweep from the caption's top-left to the bottom-right corner.
        for (int i = 0; i < kMoves; ++i) {
            const ui::TPoint p{1 + i * (kWidth - 2) / kMoves, 1 + i * (kHeight - 2) / kMoves};
            test_support::MouseMove(*shown.panel, p);
            shown.PaintPending();
        }
    }
    // A sweep that paints only once would measure the mouse handling alone.
    if (paints < 2 * static_cast<long>(state.iterations())) state.SkipWithError("the hover repaints did not run");
    state.counters["paints"] = benchmark::Counter(static_cast<double>(paints), benchmark::Counter::kAvgIterations);
    state.SetLabel("one paint and " + std::to_string(kMoves) + " mouse moves");
}
BENCHMARK(BM_PanelPaintAndHover)->Unit(benchmark::kMillisecond);

}  // namespace

// The application lives in main: a shown window makes the toolkit's process-wide input devices,
// and an application ended after them, at the program's exit, crashes.
int main(int argc, char** argv) {
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
