// The hand-off record on disk.
#pragma once

// Fills the record from the tuner panel and writes it: 0 on success, 1 on failure. Writes
// nothing (and answers 0) while there is no tuner panel.
int WriteHandoffRecord(const char* fileName);

class HandoffRecord;
// The viewer's one record: what the last record read back said survives in it.
HandoffRecord& HandoffRecordOfViewer();

struct TunerState;
// Takes the values the DOS program changed (a whole record) into the tuner state, when there
// is one, and remembers its still flag.
void TakeBackHandoffValues(const unsigned char* data, TunerState* state);
