// A correction file "Z<n>.pra": the first line of the input is the legal date-hour text, the
// rest the file. The conversion runs as find_city runs it (a place at 15 degrees east for the
// local-mean-time records), and every record is shown as the time-zone list shows it.
#include "files/cities.h"
#include "fuzz_util.h"

using namespace tellurim;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto [date_text, file] = fuzz::split_first_line(fuzz::as_text(data, size));
    const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(file.data()), file.size());
    if (!is_valid_file_size(bytes.size(), kCorrectionRecordSize)) return 0;
    std::vector<CorrectionRecord> records;
    ByteReader in(bytes);
    while (in.remaining() >= kCorrectionRecordSize) {
        ByteReader rec = in.sub(kCorrectionRecordSize);
        records.push_back(read_correction_record(rec));
        (void)correction_list_entry(records.back());
    }
    DateParse p = parse_date_hour(date_text);
    if (!p.ok) return 0;
    BirthPlace place;
    place.longitude = AngleValue::degrees(15.0, kFormatEastWest);
    place.latitude = AngleValue::degrees(45.0, kFormatNorthSouth);
    DateHour d = p.value;
    CorrectionResult r = find_correction_in(records, d, place);
    if (r.ok && r.found) (void)format_date_hour(d);
    if (r.ok && !r.found) (void)no_correction_cause(records, d, "Z0.pra");
    return 0;
}
