#pragma once

class QWidget;

// Fill the product information into any window that has labels of the right names; a window
// without such a label is left as it is.
//  - SetProductTitle: lblProdukttitel shows the product name;
//  - SetInfoCaption: the window's title becomes "Informationen über '<product name>'";
//  - SetVersionLabel: lblVersion shows major.minor.revision;
//  - SetDescription: lblBeschreibung shows the file description.
void SetProductTitle(QWidget* window);
void SetInfoCaption(QWidget* window);
void SetVersionLabel(QWidget* window);
void SetDescription(QWidget* window);
