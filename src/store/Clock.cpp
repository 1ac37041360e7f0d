#include "store/Clock.h"

namespace wm {

double Clock::timeOfDay() const {
    return now().time().msecsSinceStartOfDay() / 86400000.0;
}

} // namespace wm
