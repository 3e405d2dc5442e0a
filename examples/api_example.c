/* A mailing application's use of the C interface: describe a delimited data
   file, ask for the manifest, run the reports. Usage: api_example DIR */
#include <stdio.h>
#include <string.h>

#include <vaskreport.h>

static int write_data(const char* path) {
  FILE* f = fopen(path, "w");
  int i;
  if (!f) return 1;
  fputs("Name,State,Dpid,Bsp\n", f);
  for (i = 0; i < 350; ++i) fprintf(f, "Letter %d,VIC,%08d,22\n", i, 40000000 + i);
  for (i = 0; i < 20; ++i) fprintf(f, "Letter %d,QLD,%08d,35\n", i, 50000000 + i);
  fputs("Unmatched,TAS,,\n", f);
  return fclose(f);
}

int main(int argc, char** argv) {
  static const char* names[] = {"Name", "State", "Dpid", "Bsp"};
  char path[200], out[200], message[REPORT_MESSAGE_SIZE];
  int i, rc;
  if (argc != 2) {
    fprintf(stderr, "usage: api_example DIR\n");
    return 2;
  }
  snprintf(path, sizeof path, "%s/mailing.csv", argv[1]);
  snprintf(out, sizeof out, "%s/reports", argv[1]);
  if (write_data(path)) return 1;

  reportClearSpec();
  reportPutFileName(path);
  reportPutDelimiter(',');
  reportPutFieldNamesOnFirstLine(1);
  reportPutFieldCount(4);
  for (i = 0; i < 4; ++i) {
    reportPutFieldNames(i + 1, names[i]);
    reportPutFieldSizes(i + 1, 30);
  }
  if (reportPutDpidField("dpid") || reportPutBspField("Bsp") || reportPutStateField("State")) {
    fprintf(stderr, "role fields not found\n");
    return 1;
  }
  reportPutLodgementState("vic");
  reportPutManifestReport(1);
  reportPutCustomerName("Example Mail House");
  reportPutOutputDirectory(out);

  rc = reportReport(message, NULL);
  if (rc == ERR_VASKREPORT_OPEN_FILE) {
    fprintf(stderr, "cannot read the mailing: %s\n", path);
    return 1;
  }
  if (rc) {
    /* The message holds the code's name, then a line with the detail. */
    fprintf(stderr, "reportReport failed: %s\n", message);
    return 1;
  }
  printf("reports written to %s\n", out);
  return 0;
}
