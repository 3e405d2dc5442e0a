#ifndef VASKREPORT_ENGINE_TEMPFILES_H
#define VASKREPORT_ENGINE_TEMPFILES_H

#include "base/States.h"
#include "util/Export.h"

// The temporary files of a sorting run, by number, in the output directory.
enum {
  TEMP_FIRST_UNBARCODED = BSP_COUNT,  // + state number; 00..53 are the BSPs
  TEMP_UNKNOWN_STATE = TEMP_FIRST_UNBARCODED + STATE_COUNT,
  TEMP_BUCKET_COUNT = TEMP_UNKNOWN_STATE + 1,  // buckets 00..62 written during the read pass
  TEMP_RESORT_COPY = TEMP_BUCKET_COUNT,        // the data file in lodgement order
  TEMP_UNROUTED = TEMP_RESORT_COPY + 1,        // lines that reach no other bucket
  TEMP_ROUTES = TEMP_UNROUTED + 1,             // each line's bucket, when the buckets stay empty
  // A temporary file name is the output directory (at most 256 characters
  // with its "/"), two digits and ".tmp"; buffers of this size always hold it.
  TEMP_NAME_SIZE = 272,
};

// dst holds TEMP_NAME_SIZE characters.
VR_API char* MakeTempFileName(char* dst, int index, const char* tempDirectory);

#endif
