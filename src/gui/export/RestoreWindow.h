#pragma once

#include "CopyChooser.h"

// The restore window: lists the installed copies of the TQ 58 that an export has backed up, and
// asks for the one chosen to be given back as it was installed (copyChosen).
class RestoreWindow : public CopyChooser {
    Q_OBJECT
public:
    RestoreWindow(AppContext& context, const QList<aircraftfiles::AircraftCopy>& copies, QWidget* parent = nullptr);

private:
    QLabel* const lblRestore;
    QComboBox* const cmbRestore;
};
