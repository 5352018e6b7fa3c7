#include "OptionsWindow.h"

OptionsWindow::OptionsWindow(AppContext& context, Application& app, QWidget* parent)
    : QWidget(parent), m_context(context), m_app(app) {
    setObjectName(QStringLiteral("frmOptionen"));
    setAttribute(Qt::WA_DeleteOnClose);
}
