#include "ProductLabels.h"

#include "core/common/ProductInfo.h"

#include <QLabel>
#include <QWidget>

namespace {

void setLabel(QWidget* window, const char* name, const QString& text) {
    if (!window)
        return;
    if (auto* label = window->findChild<QLabel*>(QString::fromLatin1(name)))
        label->setText(text);
}

} // namespace

void SetProductTitle(QWidget* window) {
    setLabel(window, "lblProdukttitel", QString::fromUtf8(product::kName));
}

void SetInfoCaption(QWidget* window) {
    if (!window)
        return;
    window->setWindowTitle(QStringLiteral("Informationen über '") + QString::fromUtf8(product::kName) +
                           QLatin1Char('\''));
}

void SetVersionLabel(QWidget* window) {
    setLabel(window, "lblVersion",
             QStringLiteral("%1.%2.%3").arg(product::kMajor).arg(product::kMinor).arg(product::kRevision));
}

void SetDescription(QWidget* window) {
    setLabel(window, "lblBeschreibung", QString::fromUtf8(product::kDescription));
}
