#include "CopyChooser.h"

#include "gui/app/Accessibility.h"
#include "gui/app/AppContext.h"
#include "gui/app/Dialogs.h"
#include "gui/app/Fonts.h"
#include "gui/app/Twips.h"
#include "gui/app/WindowLayout.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>

CopyChooser::CopyChooser(AppContext& context, const Design& design, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_context(context), m_texts(context.languageDatabase()),
      m_label(layout::label(this, design.label, design.labelText, {120, 105, 4920, 420})), m_list(new QComboBox(this)),
      cmdOK(layout::button(this, "cmdOK", QStringLiteral("O.K."), {2265, 1080, 1335, 375})),
      cmdAbbrechen(layout::button(this, "cmdAbbrechen", QStringLiteral("Abbrechen"), {3705, 1080, 1335, 375})) {
    setObjectName(QString::fromLatin1(design.window));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(design.title);
    setFont(layout::font(QStringLiteral("Verdana"), 8.25));
    setFixedSize(twips::toPixels(5160), twips::toPixels(1620));

    m_label->setWordWrap(true);
    m_label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_list->setObjectName(QString::fromLatin1(design.list));
    m_list->setEditable(false);
    m_list->setGeometry(twips::rect(120, 585, 4920, 315));

    // A button with the focus takes Enter itself; elsewhere Enter means OK (keyPressEvent).
    cmdOK->setAutoDefault(true);
    cmdAbbrechen->setAutoDefault(true);
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOKClick(); });
    connect(cmdAbbrechen, &QPushButton::clicked, this, &QWidget::close);
    setTabOrder(m_list, cmdOK);
    setTabOrder(cmdOK, cmdAbbrechen);
    m_list->setFocus(Qt::OtherFocusReason);
    layout::centreOnScreen(this);
    layout::activateWhenShown(this);
    accessibility::tellAsDialog(this);

    m_texts.apply(QString::fromLatin1(design.titleKey), QString(), [this](const QString& t) { setWindowTitle(t); });
    m_texts.apply(QString::fromLatin1(design.labelKey), QStringLiteral(":"),
                  [this](const QString& t) { m_label->setText(t); });
    // A screen reader names the list after the label above it.
    accessibility::nameList(m_list, accessibility::captionName(m_label->text()));
    m_texts.apply(QStringLiteral("cmdAbbrechen"), QString(), [this](const QString& t) { cmdAbbrechen->setText(t); });
    m_texts.apply(QStringLiteral("cmdOK"), QString(), [this](const QString& t) { cmdOK->setText(t); });
    fonts::keepCaptionsWhole(this);
}

void CopyChooser::setCopies(const QList<aircraftfiles::AircraftCopy>& copies, const QStringList& details) {
    const QString before = m_list->currentIndex() >= 0 ? m_lstData.value(m_list->currentIndex()) : QString();
    m_list->clear();
    m_lstData.clear();
    m_titles = aircraftfiles::displayTitles(copies);
    for (qsizetype i = 0; i < copies.size(); ++i) {
        const QString detail = details.value(i);
        m_list->addItem(detail.isEmpty() ? m_titles[i] : m_titles[i] + QStringLiteral(" \u2014 ") + detail);
        m_lstData.append(copies[i].cfgPath);
    }
    m_list->setCurrentIndex(before.isEmpty() ? -1 : int(m_lstData.indexOf(before)));
    // A line may be wider than the list (a title with its loading): the open list shows it whole,
    // beside its frame and, where it holds more lines than it shows at once, its scroll bar.
    QAbstractItemView* view = m_list->view();
    int width = view->sizeHintForColumn(0) + 2 * view->frameWidth() + 8;
    if (m_list->count() > m_list->maxVisibleItems())
        width += view->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, view->verticalScrollBar());
    view->setMinimumWidth(width);
}

std::optional<CopyChooser::Chosen> CopyChooser::chosen() const {
    const int index = m_list->currentIndex();
    if (m_list->currentText().isEmpty() || index < 0 || index >= lstData().size())
        return std::nullopt;
    return Chosen{lstData()[index], m_titles.value(index)};
}

void CopyChooser::cmdOKClick() {
    if (const auto copy = chosen())
        emit copyChosen(copy->cfgPath, copy->title);
}

void CopyChooser::refuse(const QList<MessagePart>& message) {
    m_context.dialogs->exclamation(this, m_texts.compose(message), kErrorTitle);
}

bool CopyChooser::ask(const QList<MessagePart>& question, Dialogs::Answer preset) {
    return m_context.dialogs->question(this, m_texts.compose(question), QStringLiteral("?"), preset);
}

void CopyChooser::finish(const QList<MessagePart>& message) {
    m_context.dialogs->information(this, m_texts.sentences(message),
                                   m_texts.messageText(QStringLiteral("strFinished")));
    close();
}

void CopyChooser::finishItemised(const QList<MessagePart>& message) {
    m_context.dialogs->information(this, m_texts.itemised(message), m_texts.messageText(QStringLiteral("strFinished")));
    close();
}

void CopyChooser::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        cmdOK->click();
        return;
    case Qt::Key_Escape:
        cmdAbbrechen->click();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}
