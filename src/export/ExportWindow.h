#pragma once

#include <QWidget>

struct AppContext;
class Application;

// The export window: lists the installed copies of the TQ 58 and writes the loading into one.
class ExportWindow : public QWidget {
    Q_OBJECT
public:
    ExportWindow(AppContext& context, Application& app, QWidget* parent = nullptr);

private:
    AppContext& m_context;
    Application& m_app;
};
