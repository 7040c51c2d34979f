#include "track/dispatch.h"

#include "formats/navigon.h"
#include "track/nmea.h"

namespace kursolin {

namespace {

bool readMN(Session& s, const std::string& line, int index) { return GetMN(s, line, index) == 1; }

struct ReaderRow {
  int code;
  RecordReader reader;
};

// One row per input format whose reader exists.
constexpr ReaderRow kReaders[] = {
    {1, GetGGA},  // GGA, paired with the VTG that follows by Get_B
    {2, GetRMC},
    {8, readMN},
    {9, readMN},
};

}  // namespace

RecordReader readerFor(int inputFormat) {
  for (const auto& r : kReaders) {
    if (r.code == inputFormat) return r.reader;
  }
  return nullptr;
}

bool Get_A(Session& s, const std::string& line, int index) {
  // Navigon outputs carry only what the reader fills in.
  if (s.OutMN4) ResetNaviFields(s);
  if (s.OutMN42) ResetNaviFields(s);
  if (s.OutMN5) ResetNaviFields(s);
  if (s.OutFPrv) {
    s.CurrentPoint.navi(RtePlaceName).assign(1, '-');
    s.CurrentPoint.ViaStationPoint = true;
  }
  const RecordReader reader = readerFor(s.InputFormat);
  if (!reader) return false;
  return reader(s, line, index);
}

bool Get_B(Session& s, const std::string& line, int index) {
  if (s.InputFormat == 1) return GetVTG(s, line, index);
  return s.CurrentPoint.PointValid;
}

}  // namespace kursolin
