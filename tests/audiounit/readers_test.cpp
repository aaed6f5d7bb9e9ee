// The adapter's own readers and rules, on bytes in memory.
#include "audiounit/AUPresetDictionary.h"
#include "audiounit/Buses.h"
#include "audiounit/FactoryPresetList.h"
#include "audiounit/HostKind.h"
#include "audiounit/ParameterMap.h"
#include "audiounit/ReadLine.h"
#include "audiounit/platform/CFData.h"
#include "audiounit/platform/CFHolder.h"
#include "audiounit/platform/CFNumber.h"
#include "vstbridge/DoruvezovException.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

const unsigned char* bytes(const std::string& text) {
    return reinterpret_cast<const unsigned char*>(text.data());
}

std::vector<std::string> lines(const std::string& text, int size = 2048) {
    std::vector<std::string> result;
    std::vector<char> line(std::size_t(size > 0 ? size : 1));
    for (auto at = bytes(text), end = at + text.size(); at < end;) {
        at = readLine(at, end, line.data(), size);
        result.emplace_back(line.data());
    }
    return result;
}

TEST(ReadLine, EndsLinesAtCrLfOrBothAndKeepsAtMost2047Bytes) {
    using L = std::vector<std::string>;
    EXPECT_EQ(lines("a\r\nb\nc\rd"), (L{"a", "b", "c", "d"}));
    EXPECT_EQ(lines("a\n\nb\r\r"), (L{"a", "", "b", ""}));
    EXPECT_EQ(lines("abcdef\nxy", 4), (L{"abc", "xy"}));
    EXPECT_EQ(lines(std::string(3000, 'x') + "\nz", 4096)[0].size(), 2047u);
    char line[8];
    const std::string empty;
    EXPECT_THROW(readLine(bytes(empty), bytes(empty), line, 8), EOFException);
}

std::unique_ptr<ParameterMap> map(const std::string& text, int count = 16) {
    auto result = std::make_unique<ParameterMap>(count);
    result->read(bytes(text), bytes(text) + text.size());
    return result;
}

TEST(ParameterMap, ReadsKindsUnitsAndFlagsAndSkipsWhatDoesNotFit) {
    const auto owner = map("3\tHeader\t0\t1\t=\t-\t0\r\n"
                           "  3+\tRate\t0\t10\t=\tHz\t1\r\n"
                           "5\tMode\t0\t2\tSine|Square|Random\t-\t0\n"
                           "; 6\tComment\t0\t1\t=\t-\t0\n"
                           "6\tFlat\t1\t1\t=\t-\t1\n"
                           "7\tHigh\t0\t10\t=\t-\t11\n"
                           "3\tAgain\t0\t5\t=\t-\t1\n"
                           "16\tBeyond\t0\t1\t=\t-\t0\n"
                           "8\tShort\t0\t1\t=\t-\n"
                           "9\tSwitch\t0\t1\t b\t-\t1\n"
                           "10\tSteps\t0\t4\ti\t-\t2\n"
                           "11\tNamed\t0\t1\t?\t-\t0");
    const ParameterMap& m = *owner;
    EXPECT_EQ(m.mappedIds(), (std::vector<UInt32>{3, 5, 9, 10, 11}));
    const UInt32 base = kAudioUnitParameterFlag_IsReadable | kAudioUnitParameterFlag_IsWritable |
                        kAudioUnitParameterFlag_HasCFNameString;
    const UInt32 strings = kAudioUnitParameterFlag_ValuesHaveStrings;
    struct Row {
        int id;
        const char* name;
        UInt32 unit, flags;
        float min, max, def;
    };
    for (const Row& r : {Row{3, "Rate", 26, base | kAudioUnitParameterFlag_IsGlobalMeta, 0, 10, 1},
                         Row{5, "Mode", 1, base, 0, 2, 0}, Row{9, "Switch", 2, base, 0, 1, 1},
                         Row{10, "Steps", 1, base | strings, 0, 4, 2},
                         Row{11, "Named", 0, base | strings, 0, 1, 0}}) {
        const AudioUnitParameterInfo& info = *m.info(r.id);
        EXPECT_STREQ(info.name, r.name);
        EXPECT_EQ(info.cfNameString->text, r.name);
        EXPECT_EQ(info.unit, r.unit) << r.name;
        EXPECT_EQ(info.flags, r.flags) << r.name;
        EXPECT_EQ(info.minValue, r.min);
        EXPECT_EQ(info.maxValue, r.max);
        EXPECT_EQ(info.defaultValue, r.def);
    }
    EXPECT_EQ(m.info(3)->unitName->text, "Hz");
    EXPECT_EQ(m.info(5)->unitName, nullptr);
    ASSERT_TRUE(m.valueStrings(5));
    EXPECT_EQ(m.valueStrings(5)->count(), 3u);
    EXPECT_EQ(CFStringCast(m.valueStrings(5)->at(2))->text, "Random");
    EXPECT_EQ(m.info(6)->flags, 0u);
    EXPECT_EQ(m.info(16), nullptr);
}

TEST(ParameterMap, LongNamesAreCutAndA1025thEntryIsTooMany) {
    const auto m = map("h\n0\t" + std::string(255, 'n') + "\t0\t1\t=\t-\t0\n");
    EXPECT_EQ(std::string(m->info(0)->name), std::string(51, 'n'));
    EXPECT_EQ(m->info(0)->cfNameString->text.size(), 255u);
    std::string many = "h\n";
    for (int i = 0; i <= 1024; ++i) many += std::to_string(i) + "\tP\t0\t1\t=\t-\t0\n";
    EXPECT_EQ(map(many.substr(0, many.rfind("1024\t")), 2000)->mappedIds().size(), 1024u);
    try {
        map(many, 2000);
        FAIL();
    } catch (const DoruvezovException& e) {
        EXPECT_STREQ(e.what(), "Too many mapped parameters");
    }
}

std::string preset(const std::string& name) {
    return "<plist><dict><key>name</key><string>" + name +
           "</string><key>vstdata</key><data>AAEC</data></dict></plist>";
}

TEST(FactoryPresetList, LoadsListedFilesInOrderUpTo128AndStopsAtOneThatIsNoPreset) {
    std::string list = "; comment\n\n";
    for (int i = 0; i < 130; ++i) list += "  p" + std::to_string(i) + ".aupreset\r\n";
    std::vector<std::string> asked;
    FactoryPresetList presets;
    presets.read(bytes(list), bytes(list) + list.size(), [&](const std::string& name) {
        asked.push_back(name);
        const std::string xml = preset(name.substr(0, name.find('.')));
        return std::vector<unsigned char>(xml.begin(), xml.end());
    });
    ASSERT_EQ(presets.count(), 128);
    EXPECT_EQ(asked.front(), "p0.aupreset");
    EXPECT_EQ(presets.preset(127).presetNumber, 127);
    EXPECT_EQ(presets.preset(127).presetName->text, "p127");
    EXPECT_EQ(presets.data(0), (std::vector<unsigned char>{0, 1, 2}));

    for (const auto& [xml, message] : std::initializer_list<std::pair<std::string, const char*>>{
             {"garbage", "Could not create property list from XML data"},
             {"<plist><array/></plist>", "Invalid AUPreset format"},
             {"<plist><dict><key>name</key><string>x</string></dict></plist>",
              "Missing key in dictionary"},
             {"<plist><dict><key>name</key><integer>1</integer><key>vstdata</key><data/></dict>"
              "</plist>",
              "Value in dictionary is not of expected type"}}) {
        FactoryPresetList failing;
        try {
            failing.read(bytes(list), bytes(list) + list.size(), [&](const std::string&) {
                return std::vector<unsigned char>(xml.begin(), xml.end());
            });
            ADD_FAILURE() << message;
        } catch (const DoruvezovException& e) {
            EXPECT_STREQ(e.what(), message);
        }
    }
}

TEST(AUPresetDictionary, ReadsWhatItWritesAndRefusesWhatIsNotOurs) {
    const ComponentDescription own{1, 2, 3, 0, 0};
    const unsigned char fxp[] = {'C', 'c', 'n', 'K'};
    const CFHolder<CFString> name(CFStringCreateWithCString("Pad"));
    const CFHolder<CFDictionary> written(createAUPresetDictionary(own, fxp, 4, name.get()));
    const AUPresetContents read = readAUPreset(written.get(), own);
    EXPECT_EQ(read.version, 1);
    EXPECT_EQ(read.name, "Pad");
    EXPECT_FALSE(read.programNumber);
    EXPECT_EQ(read.vstdata, std::vector<unsigned char>(fxp, fxp + 4));

    // version 0: blocks of scope, element, count, then (id, value) pairs, all big-endian
    const unsigned char blocks[] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 6, 0x3f, 0x80,
                                    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 0, 0,    1};
    const auto with = [&](const char* key, CFTypeRef value) {
        CFHolder<CFDictionary> d(createAUPresetDictionary(own, fxp, 4, name.get()));
        const_cast<CFDictionary*>(d.get())->set(key, value);
        return d;
    };
    const CFHolder<CFNumber> zero(CFNumberCreate(0)), four(CFNumberCreate(4));
    auto v0 = with("version", zero.get());
    const CFHolder<CFData> whole(CFDataCreate(blocks, 20)),
        cut(CFDataCreate(blocks, sizeof blocks));
    const_cast<CFDictionary*>(v0.get())->set("data", whole.get());
    EXPECT_EQ(readAUPreset(v0.get(), own).parameterValues,
              (std::vector<std::pair<std::int32_t, float>>{{6, 1.0f}}));
    const_cast<CFDictionary*>(v0.get())->set("data", cut.get());

    struct Case {
        CFHolder<CFDictionary> preset;
        const char* message;
    };
    Case cases[] = {
        {with("manufacturer", four.get()), "Data in dictionary is not of expected value"},
        {with("type", name.get()), "Value in dictionary is not of expected type"},
        {with("ProgramNumber", name.get()), "Value in dictionary is not of expected type"},
        {with("version", zero.get()), "Missing key in dictionary"},
        {std::move(v0), "End of file error"}};
    for (const Case& c : cases) {
        try {
            readAUPreset(c.preset.get(), own);
            ADD_FAILURE() << c.message;
        } catch (const DoruvezovException& e) {
            EXPECT_STREQ(e.what(), c.message);
        }
    }
    EXPECT_THROW(readAUPreset(name.get(), own), FormatException);
}

TEST(HostKind, LogicAndGarageBandVersionsGiveTheirKinds) {
    struct Case {
        const char* id;
        const char* version;
        HostKind kind;
    };
    const char* logic = "com.apple.logic.pro";
    for (const Case& c : {Case{logic, "8.0.0", kHostLogic800}, Case{logic, "8.0.1", kHostOther},
                          Case{logic, "9.1", kHostOther}, Case{logic, "7.2", kHostLogicBefore8},
                          Case{"com.apple.logic.express", "7.10", kHostLogicBefore8},
                          Case{logic, "8.00.0", kHostLogic800}, Case{logic, "", kHostOther},
                          Case{"com.apple.garageband", "4.1.2", kHostGarageBandBefore42},
                          Case{"com.apple.garageband", "4.2", kHostOther},
                          Case{"org.example.host", "1.0", kHostOther}}) {
        EXPECT_EQ(hostKindOf({c.id, c.version}), c.kind) << c.id << " " << c.version;
    }
    EXPECT_LT(compareVersions("8.0B", "8.0c"), 0);
    EXPECT_GT(compareVersions("10", "9"), 0);
    ClearHostIdentity();
    EXPECT_EQ(identifyHost(), kHostOther);
    SetHostIdentity({logic, "7.2"});
    EXPECT_EQ(identifyHost(), kHostLogicBefore8);
    ClearHostIdentity();
}

std::vector<Bus> buses(int pins, std::vector<int> answers, bool every) {
    return measureBuses(
        pins,
        [&](int pin, VstPinProperties& p) {
            if (answers.empty()) return false;
            p.flags = answers[std::size_t(pin) % answers.size()];
            std::snprintf(p.label, sizeof p.label, "pin %d", pin);
            return true;
        },
        every);
}

TEST(Buses, WidthsFromTheFirstPinOrFromEveryBusAndTheConfigurations) {
    const auto widths = [](const std::vector<Bus>& list) {
        std::vector<int> result;
        for (const Bus& b : list) result.push_back(b.width);
        return result;
    };
    EXPECT_EQ(widths(buses(2, {}, false)), (std::vector<int>{2}));
    EXPECT_EQ(widths(buses(3, {}, false)), (std::vector<int>{1, 1, 1}));
    EXPECT_EQ(widths(buses(5, {kVstPinIsStereo, 0}, false)), (std::vector<int>{2, 2, 1}));
    EXPECT_EQ(widths(buses(5, {kVstPinIsStereo, 0, 0}, true)), (std::vector<int>{2, 1, 2}));
    EXPECT_EQ(buses(4, {kVstPinIsStereo}, false)[1].name, "pin 2");

    const auto pairs = [](int in, int out, bool mono) {
        std::vector<std::pair<int, int>> result;
        for (auto c : channelConfigurations(buses(in, {}, false), buses(out, {}, false), mono)) {
            result.emplace_back(c.inChannels, c.outChannels);
        }
        return result;
    };
    using P = std::vector<std::pair<int, int>>;
    EXPECT_EQ(pairs(2, 2, true), (P{{1, 1}, {1, 2}, {2, 1}, {2, 2}}));
    EXPECT_EQ(pairs(2, 2, false), (P{{2, 2}}));
    EXPECT_EQ(pairs(2, 1, true), (P{{1, 1}, {2, 1}}));
    EXPECT_EQ(pairs(0, 2, true), (P{{0, 1}, {0, 2}}));
    EXPECT_TRUE(
        channelConfigurations(buses(5, {kVstPinIsStereo, 0}, false), buses(2, {}, false), true)
            .empty());
}

} // namespace
