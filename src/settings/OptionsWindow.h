#pragma once

#include <QWidget>

struct AppContext;
class Application;

// The options window: the FS2000 folder and the language.
class OptionsWindow : public QWidget {
    Q_OBJECT
public:
    OptionsWindow(AppContext& context, Application& app, QWidget* parent = nullptr);

private:
    AppContext& m_context;
    Application& m_app;
};
