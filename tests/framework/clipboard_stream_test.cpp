#include "framework/clipboard_stream.h"
#include "framework/enum_types.h"
#include "framework/framework_classes.h"
#include "framework/obj_stream.h"

#include <gtest/gtest.h>

namespace ravlo {
namespace {

// Objects put into the program's clipboard stream come out of it again; freed, it starts empty.
TEST(ClipBoardStreamMan, CarriesObjectsUntilFreed) {
    RegisterFrameworkClasses();
    TClipBoardStreamMan& clipboard = ClipBoardStreamMan();
    EXPECT_EQ(&ClipBoardStreamMan(), &clipboard) << "one for the program";
    MemoryStream& stream = clipboard.Stream();
    std::vector<std::string> classNames;
    {
        TrbObjStream writer(stream, ObjStreamMode::Writing);
        const TEnumTypeElObj element("Copied", 7);
        writer.Put(&element);
        classNames = writer.ClassNames();
    }
    EXPECT_EQ(&clipboard.Stream(), &stream) << "the same stream while it holds something";
    stream.Seek(0);
    TrbObjStream reader(clipboard.Stream(), ObjStreamMode::Reading, classNames);
    const auto pasted = reader.GetAs<TEnumTypeElObj>();
    ASSERT_NE(pasted, nullptr);
    EXPECT_EQ(pasted->Text, "Copied");
    EXPECT_EQ(pasted->TextId, 7);

    clipboard.Free();
    EXPECT_EQ(clipboard.Stream().Size(), 0U) << "nothing left of the copy";
}

} // namespace
} // namespace ravlo
