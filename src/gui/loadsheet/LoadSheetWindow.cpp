#include "LoadSheetWindow.h"

#include "core/common/PathProbe.h"
#include "core/loading/LoadingModel.h"
#include "gui/app/Accessibility.h"
#include "gui/app/AppContext.h"
#include "gui/app/Dialogs.h"
#include "gui/app/WindowLayout.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QStandardPaths>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

// The aircraft on the screen, in device-independent pixels.
constexpr QSize kPictureSize(360, 272);
constexpr int kRows = loadsheet::kStations + 2;

} // namespace

LoadSheetWindow::LoadSheetWindow(AppContext& context, QWidget* parent)
    : QWidget(parent, Qt::Window), m_context(context), m_texts(context.languageDatabase()),
      m_pictures(loadsheetdrawing::pictures(context.programFolder)) {
    setObjectName(QStringLiteral("frmLadeliste"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFont(layout::font(QStringLiteral("Tahoma"), 8.25));
    setWindowIcon(QIcon(context.path(QStringLiteral("merovan.ico"))));
    setWindowTitle(m_texts.messageText(QStringLiteral("frmLadelisteCaption")));
    buildControls();
    setLoading(LoadingModel(), QString());
    layout::centreOnScreen(this);
    layout::activateWhenShown(this);
    accessibility::tellAsDialog(this);
}

void LoadSheetWindow::buildControls() {
    auto label = [this](const char* name) {
        auto* l = new QLabel(this);
        l->setObjectName(QString::fromUtf8(name));
        l->setWordWrap(true);
        l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        // The table gives the window its width; the sentences wrap beside the picture.
        l->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        return l;
    };
    auto button = [this](const char* name, const char* key) {
        auto* b = new QPushButton(m_texts.messageText(QString::fromUtf8(key)) + QStringLiteral("..."), this);
        b->setObjectName(QString::fromUtf8(name));
        b->setAccessibleName(accessibility::captionName(b->text()));
        // Return on a focused button presses it, as Space does.
        b->setAutoDefault(true);
        return b;
    };

    picLadeliste = new QLabel(this);
    picLadeliste->setObjectName(QStringLiteral("picLadeliste"));
    picLadeliste->setFixedSize(kPictureSize);
    picLadeliste->setAccessibleName(QStringLiteral("TQ 58"));
    lblSchwerpunkt = label("lblSchwerpunkt");
    lblMTOW = label("lblMTOW");
    lblTreibstoff = label("lblTreibstoff");

    tblLadeliste = new QTableWidget(kRows, int(loadsheet::kStations + 2), this);
    tblLadeliste->setObjectName(QStringLiteral("tblLadeliste"));
    tblLadeliste->setAccessibleName(windowTitle());
    tblLadeliste->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblLadeliste->setSelectionMode(QAbstractItemView::SingleSelection);
    tblLadeliste->setSelectionBehavior(QAbstractItemView::SelectItems);
    // Tab leaves the table for the buttons; the arrow keys go from cell to cell.
    tblLadeliste->setTabKeyNavigation(false);
    tblLadeliste->verticalHeader()->hide();
    tblLadeliste->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    tblLadeliste->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    for (int row = 0; row < kRows; ++row) {
        for (int column = 0; column < tblLadeliste->columnCount(); ++column) {
            auto* item = new QTableWidgetItem;
            item->setTextAlignment(Qt::AlignVCenter | (column == 0 ? Qt::AlignLeft : Qt::AlignRight));
            if (row == kRows - 1) {
                QFont bold = font();
                bold.setBold(true);
                item->setFont(bold);
            }
            tblLadeliste->setItem(row, column, item);
        }
    }

    cmdDrucken = button("cmdDrucken", "cmdDrucken");
    connect(cmdDrucken, &QPushButton::clicked, this, &LoadSheetWindow::cmdDruckenClick);
    cmdAlsPdf = button("cmdAlsPdf", "cmdAlsPdf");
    connect(cmdAlsPdf, &QPushButton::clicked, this, &LoadSheetWindow::cmdAlsPdfClick);
    cmdSchliessen = new QPushButton(m_texts.messageText(QStringLiteral("cmdSchliessen")), this);
    cmdSchliessen->setObjectName(QStringLiteral("cmdSchliessen"));
    cmdSchliessen->setAutoDefault(true);
    connect(cmdSchliessen, &QPushButton::clicked, this, &QWidget::close);

    auto* sentences = new QVBoxLayout;
    sentences->addWidget(lblSchwerpunkt);
    sentences->addWidget(lblMTOW);
    sentences->addWidget(lblTreibstoff);
    sentences->addStretch();
    auto* top = new QHBoxLayout;
    top->addWidget(picLadeliste);
    top->addLayout(sentences, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdDrucken);
    buttons->addWidget(cmdAlsPdf);
    buttons->addWidget(cmdSchliessen);
    auto* whole = new QVBoxLayout(this);
    whole->addLayout(top);
    whole->addWidget(tblLadeliste);
    whole->addLayout(buttons);

    // The table first, so that a screen reader starts with it; then the commands.
    setTabOrder(tblLadeliste, cmdDrucken);
    setTabOrder(cmdDrucken, cmdAlsPdf);
    setTabOrder(cmdAlsPdf, cmdSchliessen);
    tblLadeliste->setFocus(Qt::OtherFocusReason);
}

void LoadSheetWindow::setLoading(const LoadingModel& loading, const QString& loadingFile) {
    m_sheet = loadsheet::ofLoading(loading);
    m_content = loadsheetdrawing::content(m_sheet, m_texts, QLocale());
    m_loadingFile = loadingFile;

    tblLadeliste->setHorizontalHeaderLabels(m_content.header);
    for (int row = 0; row < kRows && row < m_content.rows.size(); ++row) {
        const QStringList& cells = m_content.rows[row];
        for (int column = 0; column < cells.size(); ++column)
            tblLadeliste->item(row, column)->setText(cells[column]);
    }
    QHeaderView* header = tblLadeliste->horizontalHeader();
    tblLadeliste->resizeColumnsToContents();
    tblLadeliste->resizeRowsToContents();
    // Every cell in sight, without scroll bars.
    int width = 2 * tblLadeliste->frameWidth();
    for (int column = 0; column < tblLadeliste->columnCount(); ++column)
        width += tblLadeliste->columnWidth(column);
    int height = header->sizeHint().height() + 2 * tblLadeliste->frameWidth();
    for (int row = 0; row < kRows; ++row)
        height += tblLadeliste->rowHeight(row);
    tblLadeliste->setMinimumWidth(width);
    tblLadeliste->setFixedHeight(height);

    lblSchwerpunkt->setText(m_content.centreOfGravity);
    lblMTOW->setText(m_content.margin);
    lblTreibstoff->setText(m_content.fuel);
    // The picture says where the centre of gravity lies, in words for a screen reader.
    picLadeliste->setAccessibleDescription(m_content.centreOfGravity);
    renderPicture();
}

void LoadSheetWindow::renderPicture() {
    const qreal ratio = devicePixelRatioF();
    QPixmap picture(kPictureSize * ratio);
    picture.setDevicePixelRatio(ratio);
    picture.fill(palette().color(QPalette::Window));
    QPainter painter(&picture);
    loadsheetdrawing::paintAircraft(painter, QRectF(QPointF(0, 0), QSizeF(kPictureSize)), m_pictures, m_sheet);
    painter.end();
    picLadeliste->setPixmap(picture);
}

QStringList LoadSheetWindow::pageLines() const {
    return loadsheetdrawing::pageLines(m_texts, QLocale(), QDate::currentDate(), m_loadingFile);
}

void LoadSheetWindow::cmdDruckenClick() {
    const QStringList lines = pageLines();
    const Dialogs::Printed printed =
        m_context.dialogs->print(this, m_content.title, [&](QPainter& painter, const QRectF& area) {
            loadsheetdrawing::paintPage(painter, area, m_content, lines, m_pictures, m_sheet);
        });
    if (printed == Dialogs::Printed::Failed)
        m_context.dialogs->exclamation(this, m_texts.messageText(QStringLiteral("strLadelisteNotPrinted")),
                                       kErrorTitle);
}

void LoadSheetWindow::cmdAlsPdfClick() {
    // Offered beside the loading file and named after it; else in the user's documents.
    const QString title = m_texts.messageText(QStringLiteral("cmdAlsPdf"));
    const QFileInfo loadingFile(m_loadingFile);
    const QString folder = m_loadingFile.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)
                                                   : loadingFile.absolutePath();
    const QString name =
        (m_loadingFile.isEmpty() ? m_content.title : loadingFile.completeBaseName()) + QStringLiteral(".pdf");
    const auto chosen = m_context.dialogs->saveFile(
        this, m_texts.messageText(QStringLiteral("strLadelistePdfType")) + QStringLiteral("|*.pdf"), folder, name);
    if (!chosen)
        return;
    QString path = *chosen;
    if (!path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
        path += QStringLiteral(".pdf");
    if (const auto refused = loadsheet::refusal(path, m_context.programFolder)) {
        m_context.dialogs->exclamation(this, m_texts.compose(*refused), kErrorTitle);
        return;
    }
    if (pathprobe::probe(path).state == pathprobe::Probe::State::File &&
        !m_context.dialogs->question(
            this, m_texts.message(QStringLiteral("strLoadingFileReplace"), {QDir::toNativeSeparators(path)}), title,
            Dialogs::Answer::No))
        return;
    const QByteArray bytes =
        loadsheetdrawing::pdf(m_content, pageLines(), m_pictures, m_sheet, loadsheetdrawing::paper(QLocale()));
    if (const auto failure = loadsheet::save(path, bytes, m_context.programFolder))
        m_context.dialogs->exclamation(this, m_texts.compose(*failure), kErrorTitle);
}

void LoadSheetWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}
