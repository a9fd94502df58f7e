#include "navigation/favorites/LinkDataObject.h"
#include "navigation/favorites/LinkDrag.h"
#include "navigation/favorites/tests/FavoritesTestSupport.h"

#include "core/system/DragDrop.h"
#include "platform/AtlBase.h"

#include <gtest/gtest.h>
#include <shlobj.h>

using favorites_test::CFavoritesTree;

namespace {
struct CDataObjectHolder {
    explicit CDataObjectHolder(CLinkDataObject* object_) : object(object_) {}
    ~CDataObjectHolder()
    {
        if (object)
            object->Release();
    }
    CDataObjectHolder(const CDataObjectHolder&) = delete;
    CDataObjectHolder& operator=(const CDataObjectHolder&) = delete;
    CLinkDataObject* object;
};
}  // namespace

TEST(LinkDataObject, OffersTextUrlAndShortcutFiles)
{
    CFavoritesTree tree("ShortcutTmpTree");
    CShortcutTempFolder folder(tree.Root() + "ShortcutTmp");
    ASSERT_TRUE(folder.Create());
    // A shortcut of the previous drag is cleared; a hidden file and other files are kept.
    tree.Link("ShortcutTmp\\Stale", "http://stale.test/");
    tree.Link("ShortcutTmp\\Kept", "http://kept.test/");
    SetFileAttributesA((folder.GetPath() + "Kept.url").c_str(), FILE_ATTRIBUTE_HIDDEN);
    const std::string text = folder.GetPath() + "notes.txt";
    ASSERT_TRUE(CreateInternetShortcut(text, "http://x.test/"));

    const std::string longTitle(400, 'L');
    CDataObjectHolder data(CLinkDataObject::Create({{"http://kivo.test/page?a=1", "Kivo: Home/Page"},
                                                    {"http://kivo.test/other", "Kivo: Home/Page"},
                                                    {"http://long.test/", longTitle},
                                                    {"http://untitled.test/", ""}},
                                                   &folder));
    ASSERT_TRUE(data.object);

    EXPECT_EQ(GetDataObjectText(data.object, CF_TEXT), "http://kivo.test/page?a=1");
    EXPECT_EQ(GetDataObjectText(data.object, GetUrlClipboardFormat()), "http://kivo.test/page?a=1");
    std::vector<TStdStr<char>> files;
    ASSERT_TRUE(GetDataObjectFiles(data.object, files));
    ASSERT_EQ(files.size(), 4u);
    EXPECT_EQ(std::string(files[0].c_str()), folder.GetPath() + "Kivo_ Home_Page.url");
    EXPECT_EQ(std::string(files[1].c_str()), folder.GetPath() + "Kivo_ Home_Page[2].url");
    EXPECT_LE(files[2].size(), 255u);
    EXPECT_EQ(std::string(files[3].c_str()), "http://untitled.test/");
    EXPECT_EQ(ReadInternetShortcutUrl(files[0].c_str()), "http://kivo.test/page?a=1");
    EXPECT_EQ(ReadInternetShortcutUrl(files[1].c_str()), "http://kivo.test/other");
    EXPECT_EQ(ReadInternetShortcutUrl(files[2].c_str()), "http://long.test/");
    EXPECT_EQ(GetFileAttributesA((folder.GetPath() + "Stale.url").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(GetFileAttributesA((folder.GetPath() + "Kept.url").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(GetFileAttributesA(text.c_str()), INVALID_FILE_ATTRIBUTES);

    FORMATETC format = {CF_BITMAP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    EXPECT_EQ(data.object->QueryGetData(&format), DV_E_FORMATETC);
    EXPECT_EQ(data.object->QueryGetData(nullptr), E_POINTER);
    format.cfFormat = CF_HDROP;
    EXPECT_EQ(data.object->QueryGetData(&format), S_OK);
    format.tymed = TYMED_ISTREAM;
    STGMEDIUM medium = {};
    EXPECT_EQ(data.object->GetData(&format, &medium), DV_E_FORMATETC);
    EXPECT_EQ(data.object->GetData(nullptr, &medium), E_POINTER);
}

TEST(LinkDataObject, FormatEnumeratorCountsAndClones)
{
    CFavoritesTree tree("ShortcutEnumTree");
    CShortcutTempFolder folder(tree.Root());
    CDataObjectHolder data(CLinkDataObject::Create({{"http://a.test/", "A"}}, &folder));
    CComPtr<IEnumFORMATETC> formats;
    ASSERT_EQ(data.object->EnumFormatEtc(DATADIR_GET, &formats), S_OK);
    FORMATETC got[4] = {};
    ULONG fetched = 0;
    EXPECT_EQ(formats->Next(0, got, &fetched), E_INVALIDARG);
    EXPECT_EQ(formats->Next(2, got, nullptr), E_POINTER);
    EXPECT_EQ(formats->Next(1, got, nullptr), S_OK);
    EXPECT_EQ(got[0].cfFormat, CF_TEXT);
    CComPtr<IEnumFORMATETC> clone;
    ASSERT_EQ(formats->Clone(&clone), S_OK);
    EXPECT_EQ(formats->Next(4, got, &fetched), S_FALSE);
    EXPECT_EQ(fetched, 2u);
    EXPECT_EQ(got[0].cfFormat, GetUrlClipboardFormat());
    EXPECT_EQ(got[1].cfFormat, CF_HDROP);
    EXPECT_EQ(clone->Skip(1), S_OK);
    EXPECT_EQ(clone->Skip(5), S_FALSE);
    EXPECT_EQ(clone->Skip(0), E_INVALIDARG);
    EXPECT_EQ(clone->Reset(), S_OK);
    EXPECT_EQ(clone->Next(3, got, &fetched), S_OK);
    EXPECT_EQ(fetched, 3u);
}

TEST(DragOutSource, EscapeOrTheOtherButtonCancelsAndReleasingDrops)
{
    const struct {
        DWORD button;
        BOOL escape;
        DWORD keys;
        HRESULT answer;
    } cases[] = {
        {MK_LBUTTON, FALSE, MK_LBUTTON, S_OK},
        {MK_LBUTTON, FALSE, MK_LBUTTON | MK_CONTROL, S_OK},
        {MK_LBUTTON, FALSE, 0, DRAGDROP_S_DROP},
        {MK_LBUTTON, TRUE, MK_LBUTTON, DRAGDROP_S_CANCEL},
        {MK_LBUTTON, FALSE, MK_LBUTTON | MK_RBUTTON, DRAGDROP_S_CANCEL},
        {MK_RBUTTON, FALSE, MK_RBUTTON, S_OK},
        {MK_RBUTTON, FALSE, MK_SHIFT, DRAGDROP_S_DROP},
    };
    for (const auto& c : cases) {
        CDragOutSource* source = CDragOutSource::Create(c.button);
        ASSERT_TRUE(source);
        EXPECT_EQ(source->QueryContinueDrag(c.escape, c.keys), c.answer) << c.button << " " << c.keys;
        source->Release();
    }
}
