// Printing a hidden window's client area, such as the settings sheet, as one page: at its design
// size (15 twips to the pixel, so 96 pixels to the inch on paper) at the top-left corner of the
// printable area, drawn as vectors at the printer's own resolution so the text stays sharp.
#pragma once

#include "result.h"

class QPrinter;
class QWidget;

namespace rigtune {

// Prints the sheet's client area on the printer as one page without showing the sheet. Fails, with
// the message for the user, if the printer could not take the page.
Result printSheet(QWidget* sheet, QPrinter& printer);

// The Print command: prints the sheet on the default printer's default paper, without a dialog.
// When there is no default printer or printing fails, the user is told so in a message box.
void printOnDefaultPrinter(QWidget* parent, QWidget* sheet);

} // namespace rigtune
