#pragma once

#include "CopyChooser.h"

// The export window: lists the installed copies of the TQ 58 and asks for the loading on screen
// to be written into the one chosen (copyChosen). What happens then is decided elsewhere.
class ExportWindow : public CopyChooser {
    Q_OBJECT
public:
    ExportWindow(AppContext& context, const QList<aircraftfiles::AircraftCopy>& copies, QWidget* parent = nullptr);

private:
    QLabel* const lblOne;
    QComboBox* const cmbPA;
};
