// The record of a sitting: the steps of a case, the window left exactly as it would be without
// the record, the review of a case, and the sitting's table and CSV.
