#pragma once

class QQuickWindow;

// Opt-in start-up probe for benchmarks: with VANTREL_REPORT_FIRST_FRAME set,
// prints "first-frame <ms since process start>" on the window's first swapped
// frame; with the value "quit" the launcher then exits. Does nothing otherwise.
namespace FirstFrameReport {

void watch(QQuickWindow *window);

}  // namespace FirstFrameReport
