#include "app/interval_timer.h"

namespace quillark {

IntervalTimer::IntervalTimer(QObject* parent) : QObject(parent) {
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &IntervalTimer::Elapsed);
}

void IntervalTimer::SetPeriod(int milliseconds) {
    const int period = milliseconds < 0 ? 0 : milliseconds;
    if (period == period_) {
        return;
    }
    period_ = period;
    timer_.stop();
    if (period > 0) {
        timer_.start(period);
    }
}

}  // namespace quillark
