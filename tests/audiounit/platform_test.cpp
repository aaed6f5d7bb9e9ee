// The stand-in platform services, through their own interfaces.
#include "audiounit/platform/AUListeners.h"
#include "audiounit/platform/CFArray.h"
#include "audiounit/platform/CFBoolean.h"
#include "audiounit/platform/CFDictionary.h"
#include "audiounit/platform/CFHolder.h"
#include "audiounit/platform/CFNumber.h"
#include "audiounit/platform/CFPropertyList.h"
#include "audiounit/platform/EventLoopTimer.h"
#include "audiounit/platform/Files.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

CFHolder<CFObject> parse(const std::string& xml) {
    return CFHolder<CFObject>(CFPropertyListCreateFromXMLData(
        reinterpret_cast<const unsigned char*>(xml.data()), xml.size(), nullptr));
}

struct TempFolder {
    TempFolder() : path(fs::temp_directory_path() / ("au_platform_" + std::to_string(getpid()))) {
        fs::remove_all(path);
        fs::create_directories(path);
    }
    ~TempFolder() { fs::remove_all(path); }
    fs::path path;
};

TEST(PropertyList, RoundTripKeepsEveryKindAndNumbersOfBothSigns) {
    CFHolder<CFDictionary> inner(new CFDictionary);
    auto* dictionary = new CFDictionary;
    CFHolder<CFDictionary> owner(dictionary);
    auto* array = new CFArray;
    const unsigned char bytes[] = {0, 1, 0xff, 'x'};
    const CFTypeRef values[] = {CFStringCreateWithCString("Slow Burn"), CFNumberCreate(-1),
                                CFNumberCreate(0x61756678), CFBooleanCreate(true),
                                CFDataCreate(bytes, sizeof bytes)};
    for (CFTypeRef v : values) array->append(v);
    dictionary->set("list", array);
    dictionary->set("inner", inner.get());
    for (CFTypeRef v : values) CFRelease(v);
    CFRelease(array);

    CFHolder<CFData> xml(CFPropertyListCreateXMLData(dictionary));
    ASSERT_TRUE(xml);
    CFHolder<CFObject> back(
        CFPropertyListCreateFromXMLData(xml->bytes.data(), xml->bytes.size(), nullptr));
    auto read = CFDictionaryCast(back.get());
    ASSERT_TRUE(read && CFDictionaryCast(read->get("inner")));
    auto list = CFArrayCast(read->get("list"));
    ASSERT_TRUE(list);
    ASSERT_EQ(list->count(), 5u);
    EXPECT_EQ(CFStringCast(list->at(0))->text, "Slow Burn");
    EXPECT_EQ(CFNumberCast(list->at(1))->value, -1);
    EXPECT_EQ(CFNumberCast(list->at(2))->value, 0x61756678);
    EXPECT_TRUE(CFBooleanCast(list->at(3))->value);
    EXPECT_EQ(CFDataCast(list->at(4))->bytes, std::vector<unsigned char>(bytes, bytes + 4));
}

TEST(PropertyList, ForeignBytesAndDeepNestingGiveNothing) {
    EXPECT_FALSE(parse("not a property list"));
    EXPECT_FALSE(parse("<?xml version=\"1.0\"?><plist><dict><key>a</key>"));
    std::string deep = "<plist>";
    for (int i = 0; i < 200; ++i) deep += "<array>";
    for (int i = 0; i < 200; ++i) deep += "</array>";
    EXPECT_FALSE(parse(deep + "</plist>"));
    EXPECT_TRUE(parse("<plist><array><array/></array></plist>"));
}

TEST(Files, DomainsFollowTheirVariablesAndDefaults) {
    TempFolder temp;
    setenv(kUserAudioFolderVariable, (temp.path / "user").c_str(), 1);
    FSRef folder;
    EXPECT_EQ(FSFindFolder(kUserDomain, kAudioSupportFolderType, false, &folder), fnfErr);
    EXPECT_EQ(FSFindFolder(kUserDomain, kAudioSupportFolderType, true, &folder), noErr);
    EXPECT_EQ(folder.path, temp.path / "user");
    unsetenv(kUserAudioFolderVariable);
    setenv("XDG_DATA_HOME", temp.path.c_str(), 1);
    EXPECT_EQ(FSFindFolder(kUserDomain, kAudioSupportFolderType, true, &folder), noErr);
    EXPECT_EQ(folder.path, temp.path / "Audio");
    setenv(kLocalAudioFolderVariable, (temp.path / "local").c_str(), 1);
    EXPECT_EQ(FSFindFolder(kLocalDomain, kAudioSupportFolderType, true, &folder), noErr);
    EXPECT_EQ(folder.path, temp.path / "local");
    EXPECT_EQ(FSFindFolder(kLocalDomain, fourCharCode("pref"), true, &folder), paramErr);
}

TEST(Files, CreationNeverReplacesAndListingTellsFilesFromFolders) {
    TempFolder temp;
    const FSRef root{temp.path};
    FSRef made;
    EXPECT_EQ(FSCreateDirectory(root, "Presets", &made), noErr);
    EXPECT_EQ(FSCreateDirectory(root, "Presets", &made), dupFNErr);
    EXPECT_EQ(FSCreateFile(root, "a.FXP", &made), noErr);
    const unsigned char bytes[] = {1, 2, 3};
    EXPECT_EQ(FSWriteWholeFile(made, bytes, 3), noErr);
    EXPECT_EQ(FSCreateFile(root, "a.FXP", &made), dupFNErr);
    std::vector<unsigned char> read;
    EXPECT_EQ(FSReadWholeFile(made, read), noErr);
    EXPECT_EQ(read.size(), 3u);
    for (const char* bad : {"", ".", "..", "a/b"})
        EXPECT_EQ(FSMakeFSRef(root, bad, &made), bdNamErr);

    std::vector<FSFolderItem> items;
    EXPECT_EQ(FSListFolder(root, items), noErr);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].name, "Presets");
    EXPECT_FALSE(items[0].isFile);
    EXPECT_EQ(items[1].name, "a.FXP");
    EXPECT_TRUE(items[1].isFile);
    EXPECT_EQ(FSReadWholeFile({temp.path / "missing"}, read), fnfErr);
    EXPECT_EQ(FSDeleteObject({temp.path / "a.FXP"}), noErr);
    EXPECT_EQ(FSDeleteObject({temp.path / "a.FXP"}), fnfErr);
}

TEST(Listeners, NotificationsReachEverySubscriberButTheSender) {
    static std::vector<std::string> heard;
    heard.clear();
    const auto onParameter = [](void* ref, void*, const AudioUnitParameter* p) {
        heard.push_back(std::string(static_cast<const char*>(ref)) + " p" +
                        std::to_string(p->mParameterID));
    };
    const auto onEvent = [](void* ref, void*, const AudioUnitEvent* e) {
        heard.push_back(std::string(static_cast<const char*>(ref)) + " e" +
                        std::to_string(e->mEventType));
    };
    AUParameterListenerRef first, second;
    AUEventListenerRef events;
    ASSERT_EQ(AUListenerCreate(onParameter, const_cast<char*>("first"), &first), noErr);
    ASSERT_EQ(AUListenerCreate(onParameter, const_cast<char*>("second"), &second), noErr);
    ASSERT_EQ(AUEventListenerCreate(onEvent, const_cast<char*>("events"), &events), noErr);
    const AudioUnitParameter parameter{nullptr, 6, kAudioUnitScope_Global, 0};
    AudioUnitEvent event{};
    event.mEventType = kAudioUnitEvent_EndParameterChangeGesture;
    EXPECT_EQ(AUParameterListenerNotify(first, nullptr, &parameter), noErr);
    EXPECT_EQ(AUEventListenerNotify(nullptr, nullptr, &event), noErr);
    EXPECT_EQ(heard, (std::vector<std::string>{"second p6", "events e2"}));
    for (AUListenerBase* l : {first, second, events}) EXPECT_EQ(AUListenerDispose(l), noErr);
    EXPECT_EQ(AUListenerDispose(first), paramErr);
}

TEST(EventLoopTimer, FiresWhenDueFromTheHostsLoopUntilRemoved) {
    static int fired;
    fired = 0;
    const auto count = [](EventLoopTimerRef, void*) { ++fired; };
    EventLoopTimerRef now, later, once;
    ASSERT_EQ(InstallEventLoopTimer(0, 0.001, count, nullptr, &now), noErr);
    ASSERT_EQ(InstallEventLoopTimer(3600, 1, count, nullptr, &later), noErr);
    ASSERT_EQ(InstallEventLoopTimer(0, 0, count, nullptr, &once), noErr);
    EXPECT_EQ(RunMainEventLoopTimers(), 2);
    EXPECT_EQ(RunMainEventLoopTimers(), 0); // the repeating one is not due again yet
    EXPECT_EQ(RemoveEventLoopTimer(once), paramErr);
    EXPECT_EQ(RemoveEventLoopTimer(now), noErr);
    EXPECT_EQ(RemoveEventLoopTimer(later), noErr);
    EXPECT_EQ(fired, 2);
}

} // namespace
