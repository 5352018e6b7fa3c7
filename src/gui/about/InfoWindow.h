#pragma once

#include <QWidget>

struct AppContext;
class PressableLabel;
class QFrame;
class QLabel;
class QPushButton;

// The about window: product name, version, maker, description, a picture and the web link.
// Its texts are the same in every language.
class InfoWindow : public QWidget {
    Q_OBJECT
public:
    explicit InfoWindow(AppContext& context, QWidget* parent = nullptr);

private:
    void buildControls();
    void load();

    AppContext& m_context;

    QLabel* picMain = nullptr;
    QLabel* lblProdukttitel = nullptr;
    QFrame* Shape1 = nullptr;
    QLabel* lblVersion_ = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblFirma_ = nullptr;
    QLabel* lblFirma = nullptr;
    QLabel* lblBeschreibung = nullptr;
    QLabel* Label6 = nullptr;
    PressableLabel* Label4 = nullptr;
    QPushButton* cmdOK = nullptr;
};
