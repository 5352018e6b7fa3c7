#pragma once

#include "CopyChooser.h"

#include <functional>

class LoadingModel;

// The export window: lists the installed copies of the TQ 58 and writes the loading on screen
// into the one chosen.
class ExportWindow : public CopyChooser {
    Q_OBJECT
public:
    // The loading on screen at the moment it is asked for; nullptr when there is none.
    using CurrentLoading = std::function<const LoadingModel*()>;

    ExportWindow(AppContext& context, CurrentLoading currentLoading, QWidget* parent = nullptr);

    // The export of the chosen copy; nothing happens while no copy is chosen.
    void cmdOKClick() override;

private:
    CurrentLoading m_currentLoading;
    QLabel* const lblOne;
    QComboBox* const cmbPA;
};
