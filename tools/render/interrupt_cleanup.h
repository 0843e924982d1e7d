// Temporaries in flight, removed when SIGINT, SIGTERM or SIGHUP ends the
// run; the process then dies of the signal as it would have (a shell
// reports 128 + signal). SIGXFSZ is ignored, so a file-size limit comes
// back from the write as EFBIG.
#pragma once

// Installs the handlers, except for signals the process was started with
// ignored (nohup). Once, before any temporary is made.
void CleanupInstall();

// Holds the three signals back while a temporary is made and recorded, or
// while the files of a frame are renamed into place together.
void CleanupBlock();
void CleanupUnblock();

// Records a temporary to remove on a signal; returns its slot, or -1 when
// all slots are taken (the caller then refuses to make it).
int CleanupHold(const char *path);
// Forgets the slot (the temporary was renamed or removed).
void CleanupDrop(int slot);
