#pragma once

// At the wizard's start: when an apply of an earlier run was cut off (its record left in
// the protected data folder), says that the last setup did not finish and offers to put
// the settings back from the snapshot saved before it (the default) or to keep them;
// either answer removes the record. A record that cannot be read or is not trusted is
// reported in one sentence and not used. Shows nothing when there is no record.
void OfferUnfinishedApply();
