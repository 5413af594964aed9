// The progress feed of the job windows, driven by a clock of the test's own: no test waits for time to pass.

#include <QProgressBar>
#include <QTest>
#include <chrono>
#include <memory>
#include <optional>

#include "ui/kit/progress_feed.h"

namespace varnel {

using std::chrono::milliseconds;

class ProgressFeedTest : public QObject {
  Q_OBJECT

 private slots:
  // Each step at its time on the test's clock: a value (or a flush), then the value the bar shows.
  void ShowsEachFilledWidthAtMostOnceAFrameButTheEnds() {
    struct Step {
      int at_ms;
      std::optional<double> minimum, maximum, value;  // none: a Flush()
      int bar;
    };
    const Step steps[] = {
        {0, 0, 10, 0, 0},      // the first value, at once
        {1, 0, 10, 1, 0},      // forward within the frame: held back
        {2, 0, 10, 2, 0},      // the later one replaces it
        {3, {}, {}, {}, 20},   // a flush shows what is held
        {4, 0, 10, 3, 20},     // a frame counts from the last value shown
        {23, 0, 10, 4, 40},    // a frame later: shown
        {24, 0, 10, 10, 100},  // the full bar, at once
        {25, 0, 5, 1, 20},     // going back (a new run), at once
        {26, 0, 5, 2, 20},     // held back...
        {27, 0, 5, 1, 20},     // ...and forgotten when the bar comes back to what it shows
        {28, {}, {}, {}, 20},  // so a flush has nothing to show
        {29, 0, 5, 1.04, 20},  // a value within the same pixel changes nothing
        {50, 3, 3, 3, 0},      // an empty range: an empty bar
        {51, 0, 10, -5, 0},    // below the range: empty
        {80, 0, 10, 15, 100},  // above it: full
    };
    QProgressBar bar;
    bar.resize(100, 10);
    std::chrono::steady_clock::time_point now{};
    ProgressFeed feed(&bar, [&now] { return now; });
    QCOMPARE(bar.maximum(), 100);
    for (const Step& step : steps) {
      now = std::chrono::steady_clock::time_point(milliseconds(step.at_ms));
      if (step.value) {
        feed.Set(*step.minimum, *step.maximum, *step.value);
      } else {
        feed.Flush();
      }
      QVERIFY2(bar.value() == step.bar, qPrintable(QStringLiteral("at %1 ms: %2").arg(step.at_ms).arg(bar.value())));
    }
  }

  // A window closed under a running job takes its bar with it: the job's later values go nowhere.
  void ABarDestroyedUnderTheJobIsLeftAlone() {
    auto bar = std::make_unique<QProgressBar>();
    bar->resize(50, 10);
    ProgressFeed feed(bar.get());
    feed.Set(0, 2, 1);
    bar.reset();
    feed.Set(0, 2, 2);
    feed.Flush();
  }
};

}  // namespace varnel

QTEST_MAIN(varnel::ProgressFeedTest)
#include "progress_feed_tests.moc"
