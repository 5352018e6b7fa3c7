#pragma once

#include <QWidget>

struct AppContext;

// The about window: product name, version, maker, description and the web link.
class InfoWindow : public QWidget {
    Q_OBJECT
public:
    explicit InfoWindow(AppContext& context, QWidget* parent = nullptr);

private:
    AppContext& m_context;
};
