#pragma once
// Prints a coloured list as it is shown: the gradient header on every page, then the rows
// with their cell colours, scaled to the page width.
#include <QPagedPaintDevice>

class CListCtrlCl;

// Paints all rows of `list` onto `device`, starting new pages as needed. Returns the number
// of pages painted (at least 1: an empty list still prints its headings), or 0 when the
// device could not be painted on.
int PrintListPages(const CListCtrlCl& list, QPagedPaintDevice& device);
