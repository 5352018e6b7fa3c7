#pragma once

#include "CopyChooser.h"

// The take-over window: lists the installed copies of the TQ 58, each with the loading it holds
// in short, and asks for the loading of the one chosen to be taken over. What it asks is decided
// elsewhere; a refusal comes back to be shown here.
class TakeOverWindow : public CopyChooser {
    Q_OBJECT
public:
    // `loadings` holds, for each copy at the same position, its loading in short or the text for
    // a copy without one.
    TakeOverWindow(AppContext& context, const QList<aircraftfiles::AircraftCopy>& copies, const QStringList& loadings,
                   QWidget* parent = nullptr);

    // Asks for the chosen copy's loading; nothing happens while no copy is chosen.
    void cmdOKClick() override;

signals:
    // `title` is the copy's title as listed, without its loading.
    void takeOverRequested(const QString& cfgPath, const QString& title);

private:
    QLabel* const lblTakeOver;
    QComboBox* const cmbTakeOver;
};
