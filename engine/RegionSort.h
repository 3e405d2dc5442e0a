#ifndef VASKREPORT_ENGINE_REGIONSORT_H
#define VASKREPORT_ENGINE_REGIONSORT_H

class BucketFiles;
class LineReader;
class ManifestInfo;
class VaskReportSpec;

// The join for a data file that can be read again, whose read pass kept
// only each line's bucket (BucketFiles with routesOnly): the bucket sizes
// give every file's layout, so the data file is read once more and each
// line written straight to its place in the resort copy and in its split
// file. The files, their contents, the progress calls (-1 .. -63, spread
// over the reading) and the codes are those of SortBuckets. reader is open
// on the data file; dataBytes is how much of it the read pass read.
int SortIntoRegions(const ManifestInfo& info, const VaskReportSpec& spec, char* message,
                    int (*progress)(int), const char* tempDirectory, LineReader& reader,
                    unsigned long long dataBytes, const BucketFiles& buckets);

#endif
