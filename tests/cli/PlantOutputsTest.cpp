// What the plant's systems are handed: InfluxDB's line protocol and Home
// Assistant's discovery configurations.
#include "cli/InfluxLine.h"
#include "cli/MqttDiscovery.h"

#include <gtest/gtest.h>

TEST(InfluxLine, TagsAndTextKeepEveryByteInAFormTheProtocolCarries) {
  const struct {
    std::string Bytes, Tag, Text;
  } cases[] = {
      {"p v,x=\"1\"", R"(p\ v\,x\="1")", R"("p v,x=\"1\"")"},
      {"a\\b", R"(a\\b)", R"("a\\\\b")"},
      {"end\\", R"(end\x5C)", R"("end\\\\")"},
      {"\\\\", R"(\\\x5C)", R"("\\\\\\\\")"},
      {"\r\n\t\x01\x7F", R"(\r\n\t\x01\x7F)", R"("\\r\\n\\t\\x01\\x7F")"},
      {"\xE9", "\xC3\xA9", "\"\xC3\xA9\""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(InfluxTag(c.Bytes), c.Tag) << c.Bytes;
    EXPECT_EQ(InfluxString(c.Bytes), c.Text) << c.Bytes;
  }
  EXPECT_EQ(InfluxLine("COM3", "p.v", 23.5, "23.5", 1'700'000'000'123'000'000),
            "marrowlink,port=COM3,command=p.v value=23.5 1700000000123000000");
  EXPECT_EQ(InfluxLine("COM3", "", std::nullopt, "Err 4", 5),
            R"(marrowlink,port=COM3 text="Err 4" 5)")
      << "a tag cannot be empty";
  EXPECT_EQ(InfluxLine("COM3", "x", -1e300, "", 5),
            "marrowlink,port=COM3,command=x value=-1e+300 5");
}

TEST(MqttDiscovery, CommandsThatComeToOneNameOrToNoneAreTold) {
  EXPECT_EQ(DiscoveryName("..p.v  #2."), "p_v_2");
  EXPECT_EQ(
      DiscoveryObjects({"p.v", "p v", "s.p", "", "%%", "p_v_2", "s.p"}),
      (std::vector<std::string>{"p_v_1", "p_v_2_2", "s_p_3", "_4", "_5", "p_v_2_6", "s_p_7"}));

  const std::vector<TDiscoveryMessage> configs =
      DiscoveryConfigs({"ha", "marrowlink/plant 1", "plant 1", "COM3", {"p.v", "F\"0"}, "3.2"});
  ASSERT_EQ(configs.size(), 2u);
  EXPECT_EQ(configs[0].Topic, "ha/sensor/plant_1_COM3/p_v/config");
  EXPECT_EQ(configs[1].Payload,
            R"({"name":"F\"0","state_topic":"marrowlink/plant 1/COM3/F\"0",)"
            R"("value_template":"{{ value_json.value }}","unique_id":"plant_1_COM3_F_0",)"
            R"("availability_topic":"marrowlink/plant 1/status/COM3",)"
            R"("device":{"identifiers":["plant_1_COM3"],"name":"K4410R on COM3 at plant 1",)"
            R"("model":"K4410R","sw_version":"marrowlink 3.2"}})");
}
