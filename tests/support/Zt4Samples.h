// A small ZT4 archive of one day and the Archive.log record that names it, as a
// card of scale K7Q29 would have them (unsigned: the tests sign them).
#pragma once

#include <string>

namespace tv::test {

inline constexpr char kSampleZt4Uid[] = "04A1B2C3D4E5F60718293A4B5C6D7E8F";

inline std::string SampleZt4Archive() {
    std::string s = "<?xml version=\"1.0\"?>\n<ZT4>";
    s += std::string("<fit><cte>2015-01-02 08:00:00</cte><fpg><ssn>K7Q29</ssn><ncd>") + kSampleZt4Uid +
         "</ncd></fpg></fit>";
    for (int i = 0; i < 12; ++i) {
        s += "<fit><cte>2015-01-02 08:" + std::to_string(10 + i) + ":00</cte><ftk><amt>" +
             std::to_string(100 + i) + "</amt></ftk></fit>";
    }
    return s + "<fit><cte>2015-01-02 20:00:00</cte><fcd><n>1</n></fcd></fit></ZT4>";
}

inline std::string SampleZt4Log() {
    return std::string("[") + kSampleZt4Uid + "]\r\n\r\n" + "Scale serial num             : K7Q29\r\n" +
           "SMC Unique ID                : " + kSampleZt4Uid + "\r\n" +
           "Archive file path            : /archives/K7Q29\r\n"
           "Archive start date           : 2015-01-02 08:00:00\r\n"
           "Archive end date             : 2015-01-02 20:00:00\r\n"
           "Archive file name            : 20150102080000_20150102200000.xml\r\n"
           "A.Creation date time         : 2016-03-01 10:15:00\r\n"
           "A.Completion date time       : 2016-03-01 10:15:02\r\n";
}

}  // namespace tv::test
