// Replaced by the compound document and workbook writers.
