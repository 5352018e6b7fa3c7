#include "ReplayRandom.h"

#include <QTest>

double ReplayRandom::next() {
    if (m_draws.isEmpty()) {
        QTest::qFail("more random draws than the test scripted", __FILE__, __LINE__);
        return 0.0;
    }
    return m_draws.takeFirst();
}
