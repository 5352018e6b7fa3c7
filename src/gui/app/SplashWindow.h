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

    QTimer* timer() const { return tmrSplash; }

signals:
    // The timer has fired (once); the splash is done.
    void timeUp();

private:
    QLabel* imgBackground = nullptr;
    QLabel* lblTitle = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblFirma = nullptr;
    QTimer* tmrSplash = nullptr;
};

// "Version " followed by major.minor.revision.
QString splashVersionText(int major, int minor, int revision);
