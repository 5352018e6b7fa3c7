#pragma once

#include <QWidget>

struct AppContext;
class QLabel;
class QTimer;

// The white start-up window: title, version and maker, for 250 ms.
class SplashWindow : public QWidget {
    Q_OBJECT
public:
    explicit SplashWindow(const AppContext& context, QWidget* parent = nullptr);

    QTimer* timer() const { return m_timer; }

signals:
    // The timer has fired (once); the splash is done.
    void timeUp();

private:
    QLabel* m_background = nullptr;
    QLabel* m_title = nullptr;
    QLabel* m_version = nullptr;
    QLabel* m_company = nullptr;
    QTimer* m_timer = nullptr;
};

// "Version " followed by major.minor.revision.
QString splashVersionText(int major, int minor, int revision);
