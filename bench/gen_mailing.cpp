// Writes a synthetic address-matched mailing: a header line, then RECORDS
// comma-separated records, deterministic from SEED.
// Usage: gen_mailing RECORDS SEED OUTPUT
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

const char* const kFirst[] = {"John", "Mary", "Wei", "Priya", "Liam", "Olivia", "Noah",
                              "Charlotte", "Jack", "Isla", "Mohammed", "Grace", "Lucas",
                              "Chloe", "Thomas", "Ava"};
const char* const kLast[] = {"Smith", "Nguyen", "Williams", "Brown", "Wilson", "Taylor",
                             "Johnson", "White", "Martin", "Anderson", "Thompson", "Tran",
                             "Walker", "Harris", "Lee", "Ryan", "Robinson", "Kelly"};
const char* const kStreet[] = {"George St", "High St", "Church St", "Victoria Rd",
                               "Station St", "Main Rd", "Park Ave", "King St", "Queen St",
                               "Bridge Rd", "Railway Pde", "Beach Rd"};
const char* const kSuburb[] = {"PARRAMATTA", "RICHMOND", "TOOWONG", "GLENELG", "FREMANTLE",
                               "SANDY BAY", "BRADDON", "PALMERSTON", "NEWTOWN", "BALLARAT",
                               "CAIRNS", "BUNBURY"};
const char* const kStates[] = {"NT", "NSW", "VIC", "QLD", "SA", "WA", "TAS", "ACT"};

// BSP to state, as the postal sort plans are laid out.
int BspState(int bsp) {
  if (bsp == 1) return 0;
  if (bsp == 2) return 3;
  if (bsp == 19) return 7;
  if (bsp <= 21) return 1;
  if (bsp <= 34) return 2;
  if (bsp <= 44) return 3;
  if (bsp <= 48) return 4;
  if (bsp <= 53) return 5;
  return 6;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    fprintf(stderr, "usage: gen_mailing RECORDS SEED OUTPUT\n");
    return 2;
  }
  unsigned long long records = strtoull(argv[1], nullptr, 10);
  std::mt19937_64 rng(strtoull(argv[2], nullptr, 10));
  FILE* out = fopen(argv[3], "w");
  if (!out) {
    perror(argv[3]);
    return 1;
  }
  static char buffer[1 << 20];
  setvbuf(out, buffer, _IOFBF, sizeof buffer);

  // Sort plans weighted like a national mailing: metropolitan plans large,
  // country plans small, so some get direct trays and others pool to residue.
  std::vector<double> weights(55, 0.0);
  for (int b = 1; b <= 54; ++b) weights[b] = (b % 7 == 3) ? 9.0 : (b % 3 == 0 ? 3.0 : 1.0);
  std::discrete_distribution<int> bspPick(weights.begin(), weights.end());
  std::uniform_int_distribution<int> pct(0, 999);
  std::uniform_int_distribution<int> small(0, 1 << 30);

  fputs("CustomerId,Salutation,Name,Address1,Address2,Suburb,State,Postcode,Dpid,Bsp,Amended\n", out);
  for (unsigned long long i = 0; i < records; ++i) {
    int r = small(rng);
    const char* first = kFirst[r % 16];
    const char* last = kLast[(r >> 4) % 18];
    const char* street = kStreet[(r >> 9) % 12];
    const char* suburb = kSuburb[(r >> 13) % 12];
    int number = 1 + (r >> 17) % 250;
    int roll = pct(rng);
    int bsp = bspPick(rng);
    int state = BspState(bsp);
    const char* stateCode = kStates[state];
    char address2[24] = "";
    if (roll % 5 == 0) snprintf(address2, sizeof address2, "Unit %d", 1 + roll % 40);
    if (roll < 80) {
      // Unbarcoded; a few with a state nobody can read.
      if (roll < 5) stateCode = roll < 2 ? "" : "XX";
      fprintf(out, "C%09llu,Dear %s,%s %s,%d %s,%s,%s,%s,%04d,,,\n", i + 1, first, first, last, number, street, address2,
              suburb, stateCode, 800 + state * 1000 + roll);
    } else {
      int amended = roll < 120 ? 4 : (roll < 130 ? 8 : (roll < 133 ? -1 : 0));
      // A few barcoded letters carry a sort plan outside 1..54.
      if (roll > 996) bsp = roll == 999 ? 0 : 99;
      fprintf(out, "C%09llu,Dear %s,%s %s,%d %s,%s,%s,%s,%04d,%08llu,%d,%d\n", i + 1, first,
              first, last, number, street,
              address2, suburb, stateCode, 800 + state * 1000 + roll % 100,
              40000000ULL + (i * 7919ULL) % 60000000ULL, bsp, amended);
    }
  }
  if (fclose(out) != 0) {
    perror(argv[3]);
    return 1;
  }
  return 0;
}
