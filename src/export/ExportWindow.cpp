#include "ExportWindow.h"

ExportWindow::ExportWindow(AppContext& context, Application& app, QWidget* parent)
    : QWidget(parent), m_context(context), m_app(app) {
    setObjectName(QStringLiteral("frmExport"));
    setAttribute(Qt::WA_DeleteOnClose);
}
