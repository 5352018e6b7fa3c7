#pragma once

#include "CopyChooser.h"

// The restore window: lists the installed copies of the TQ 58 that an export has backed up, and
// gives the one chosen back as it was installed, after a question.
class RestoreWindow : public CopyChooser {
    Q_OBJECT
public:
    RestoreWindow(AppContext& context, const QList<aircraftfiles::AircraftCopy>& copies, QWidget* parent = nullptr);

    // Asks, then restores the chosen copy; nothing happens while no copy is chosen.
    void cmdOKClick() override;

private:
    QLabel* const lblRestore;
    QComboBox* const cmbRestore;
};
