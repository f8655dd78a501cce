#pragma once

#include <QObject>
#include <QTimer>

namespace quillark {

// 时钟1: a timer whose period follows the interval selector's rules. A negative
// period counts as 0; setting the current period again changes nothing (a
// running countdown goes on); a new period restarts the countdown from now;
// 0 stops the timer.
class IntervalTimer : public QObject {
    Q_OBJECT
  public:
    explicit IntervalTimer(QObject* parent = nullptr);

    void SetPeriod(int milliseconds);
    int Period() const { return period_; }
    bool IsRunning() const { return timer_.isActive(); }
    // Milliseconds until the next tick, -1 when stopped.
    int RemainingTime() const { return timer_.remainingTime(); }

  signals:
    void Elapsed();

  private:
    QTimer timer_;
    int period_ = 0;
};

}  // namespace quillark
