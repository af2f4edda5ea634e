// The sheet placement of every circuit. Only this function's body chooses how a sheet is laid out.
#include "ui/sheet_layout.h"

SheetLayout sheetLayout(int circuit, double scale) {
    return automaticSheetLayout(circuit, scale);
}
