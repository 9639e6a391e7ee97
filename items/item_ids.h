// The setting item ids that code names, one constant for each, grouped by what the items
// are for. An item's number is its key into the item tables (item_tables.h); a run of
// numbered slots (user papers, colour triples, adjustments) is named by its first id and
// reached as first + slot.
#pragma once

#include "items/item_tables.h"

// Device-mode header and public fields: the DEVMODEW members, mirrored by the items
// below 0x20.
inline constexpr SettingItemId kItemDeviceName = 1;        // dmDeviceName; the model's display name
inline constexpr SettingItemId kItemSpecVersion = 2;       // dmSpecVersion
inline constexpr SettingItemId kItemDriverVersion = 3;     // dmDriverVersion
inline constexpr SettingItemId kItemDevmodeSize = 4;       // dmSize
inline constexpr SettingItemId kItemDriverExtra = 5;       // dmDriverExtra
inline constexpr SettingItemId kItemFields = 6;            // dmFields
inline constexpr SettingItemId kItemOrientation = 7;       // dmOrientation: 1 portrait, 2 landscape
inline constexpr SettingItemId kItemPaperSize = 8;         // dmPaperSize
inline constexpr SettingItemId kItemPaperLength = 9;       // dmPaperLength, tenths of a millimetre
inline constexpr SettingItemId kItemPaperWidth = 10;       // dmPaperWidth, tenths of a millimetre
inline constexpr SettingItemId kItemScale = 11;            // dmScale, percent
inline constexpr SettingItemId kItemCopies = 12;           // dmCopies
inline constexpr SettingItemId kItemDefaultSource = 13;    // dmDefaultSource
inline constexpr SettingItemId kItemResolutionPair = 14;   // dmPrintQuality and dmYResolution as one 32-bit pair
inline constexpr SettingItemId kItemColor = 15;            // dmColor: 1 monochrome, 2 colour
inline constexpr SettingItemId kItemDuplex = 16;           // dmDuplex: 1 simplex, 2 vertical, 3 horizontal
inline constexpr SettingItemId kItemTrueTypeOption = 17;   // dmTTOption
inline constexpr SettingItemId kItemCollate = 18;          // dmCollate
inline constexpr SettingItemId kItemFormName = 19;         // dmFormName
inline constexpr SettingItemId kItemResolution = 20;       // dmPrintQuality: the horizontal resolution
inline constexpr SettingItemId kItemYResolution = 21;      // dmYResolution
inline constexpr SettingItemId kItemIcmMethod = 22;        // dmICMMethod
inline constexpr SettingItemId kItemIcmIntent = 23;        // dmICMIntent
inline constexpr SettingItemId kItemMediaKind = 24;        // dmMediaType
inline constexpr SettingItemId kItemDitherType = 25;       // dmDitherType

// Record headers and versions: what tells one stored record's layout from another's.
inline constexpr SettingItemId kItemLayoutVersion = 257;          // layout version of the settings
inline constexpr SettingItemId kItemDriverRelease = 258;          // driver release that wrote the settings
inline constexpr SettingItemId kItemModelName = 259;              // the model's name (32 wide characters)
inline constexpr SettingItemId kItemExtensionVersion = 1793;      // version word of the settings extension
inline constexpr SettingItemId kItemModelIdentity = 5137;         // model identity of the configuration
inline constexpr SettingItemId kItemConfigLength = 8202;          // configuration record byte length
inline constexpr SettingItemId kItemConfigLayoutVersion = 8203;   // layout version of the configuration
inline constexpr SettingItemId kItemConfigRelease = 8204;         // driver release that wrote the configuration
inline constexpr SettingItemId kItemStreamVersion = 8205;         // version of the printer stream the device takes

// Paper, sources and media.
inline constexpr SettingItemId kItemOutputPaper = 262;         // paper printed on, or the page's own paper
inline constexpr SettingItemId kItemPaperSource = 265;         // the driver's paper source (tray)
inline constexpr SettingItemId kItemPaperType = 266;           // paper type
inline constexpr SettingItemId kItemWholePaper = 383;          // print on the whole paper, no margins
inline constexpr SettingItemId kItemPerPaperMargins = 387;     // margins kept per paper are appended
inline constexpr SettingItemId kItemMediaType = 388;           // media type (a type-19 record key)
inline constexpr SettingItemId kItemSeparateSource = 389;     // the source options popup's own source
inline constexpr SettingItemId kItemSeparateSourceKind = 441; // what that source is used for
inline constexpr SettingItemId kItemSeparateSourceOn = 1313;  // kItemSeparateSource applies (32-bit)
inline constexpr SettingItemId kItemBypassFeedEdge = 438;      // bypass tray feed edge (byte)
inline constexpr SettingItemId kItemSourceFollowsDefault = 457; // the driver's source follows dmDefaultSource
inline constexpr SettingItemId kItemSizeFieldsFlag = 1331;     // dmFields also names paper length and width
inline constexpr SettingItemId kItemCustomColor = 1855;        // custom colour of the stamp colour list
inline constexpr SettingItemId kItemPaperListSelection = 1824; // the paper chosen in the paper list; its margins follow
inline constexpr SettingItemId kItemMarginLeft = 1825;         // tenths of a millimetre
inline constexpr SettingItemId kItemMarginRight = 1826;
inline constexpr SettingItemId kItemMarginTop = 1827;
inline constexpr SettingItemId kItemMarginBottom = 1828;
inline constexpr SettingItemId kItemUserPaperWidth = 5889;     // user paper slot 0 width; slot n is + n
inline constexpr SettingItemId kItemUserPaperLength = 5909;    // user paper slot 0 length; slot n is + n
inline constexpr SettingItemId kItemUserPaperName = 5929;      // user paper slot 0 name; slot n is + n
inline constexpr int kUserPaperSlots = 20;
inline constexpr SettingItemId kItemTrayPaperListFirst = 6145; // first of the tray paper lists
inline constexpr SettingItemId kItemCustomSizeListLast = 6150; // last tray paper list that may hold custom sizes
inline constexpr SettingItemId kItemTrayPaperListLast = 6154;  // last of the tray paper lists
inline constexpr SettingItemId kItemOptionColumn3 = 6160;      // third column of the option table

// Page layout: zoom, pages per sheet, posters, booklets, binding and shifts.
inline constexpr SettingItemId kItemZoomPercent = 263;         // zoom, percent (used while kItemZoomOn is set)
inline constexpr SettingItemId kItemPageOrder = 264;           // order of the pages on a sheet
inline constexpr SettingItemId kItemBindingEdge = 267;         // binding edge
inline constexpr SettingItemId kItemBindingShift = 268;        // binding shift, first edge
inline constexpr SettingItemId kItemBindingShiftBack = 269;    // binding shift, second edge
inline constexpr SettingItemId kItemNupRotation = 294;         // rotation of the pages on a sheet (0, 1, 2)
inline constexpr SettingItemId kItemPagesPerSheet = 295;       // 1, 2, 4, 8, 16 or 32
inline constexpr SettingItemId kItemTileCount = 296;           // poster tiles: columns high byte, rows low byte
inline constexpr SettingItemId kItemPageLayout = 321;          // 0 pages per sheet, 1 poster tiles, 2 booklet
inline constexpr SettingItemId kItemBookletBinding = 322;      // booklet binding side
inline constexpr SettingItemId kItemBookletSubset = 323;       // sheets per booklet subset
inline constexpr SettingItemId kItemBookletShift = 324;        // booklet centre shift
inline constexpr SettingItemId kItemCellAlignment = 382;       // alignment of a page in its cell (0 to 4)
inline constexpr SettingItemId kItemLayoutOrientation = 437;   // layout picture variant (0 to 3)
inline constexpr SettingItemId kItemBookletOutput = 446;       // booklet output kind
inline constexpr SettingItemId kItemOffsetKind = 459;          // image offset kind (1: the two offsets apply)
inline constexpr SettingItemId kItemOffsetX = 460;
inline constexpr SettingItemId kItemOffsetY = 461;
inline constexpr SettingItemId kItemZoomOn = 1281;             // manual zoom
inline constexpr SettingItemId kItemBindingShiftOn = 1283;
inline constexpr SettingItemId kItemTileMarks = 1285;          // cutting marks on poster tiles
inline constexpr SettingItemId kItemBookletOptionA = 1291;
inline constexpr SettingItemId kItemBookletOptionB = 1292;     // read only with kItemBookletOptionA
inline constexpr SettingItemId kItemReverseOrder = 1312;       // print the pages in reverse order
inline constexpr SettingItemId kItemScaleFieldFlag = 1324;     // dmFields names dmScale
inline constexpr SettingItemId kItemBookletHeaderSwitch = 1328; // booklet attribute written in the job header
inline constexpr SettingItemId kItemNupBorders = 1337;         // borders around the pages on a sheet

// Finishing: staples, punching and the linked position items.
inline constexpr SettingItemId kItemStaplePosition = 320;
inline constexpr SettingItemId kItemBindingEdgeSource = 325;   // source value the binding edge is derived from
inline constexpr SettingItemId kItemStapleSource = 326;        // linked to kItemStaplePosition
inline constexpr SettingItemId kItemBannerText = 339;
inline constexpr SettingItemId kItemFinishingSheetText = 327;  // shown as its choice name
inline constexpr SettingItemId kItemFinishingSheetChoice = 328;
inline constexpr SettingItemId kItemPunchPosition = 341;
inline constexpr SettingItemId kItemPunchSource = 344;         // linked to kItemPunchPosition
inline constexpr SettingItemId kItemPaperPosition = 444;       // paper position, mapped from older layouts

// Colour: mode, adjustments, matching and profiles.
inline constexpr SettingItemId kItemColorMode = 270;           // 0 automatic, 1 grey, 2 colour
inline constexpr SettingItemId kItemPrintMode = 271;           // print mode; some values also set the resolution
inline constexpr SettingItemId kItemPrintModeDetail = 350;     // reset to its default with kItemPrintMode
inline constexpr SettingItemId kItemColorAdjustKinds = 273;    // bits 1 text, 2 graphics, 4 images
inline constexpr SettingItemId kItemColorTripleFirst = 274;    // 274..285: common, text, graphics, image triples
inline constexpr SettingItemId kItemColorTripleLast = 285;
inline constexpr SettingItemId kItemProfileKind = 286;         // 1 built-in profile, 2 ICC profiles
inline constexpr SettingItemId kItemWhitePoint = 287;
inline constexpr SettingItemId kItemTone = 288;
inline constexpr SettingItemId kItemColorLibrary = 291;
inline constexpr SettingItemId kItemTrueTypeMode = 292;        // mirrors dmTTOption
inline constexpr SettingItemId kItemIcmChoice = 293;           // 3: matching by the system
inline constexpr SettingItemId kItemMonochromeDefault = 345;   // saved for monochrome printing
inline constexpr SettingItemId kItemDitherResolution = 346;    // read as 0 unless the resolution is 600
inline constexpr SettingItemId kItemPatternResolution = 348;
inline constexpr SettingItemId kItemPatternFromResolution = 386;
inline constexpr SettingItemId kItemColorMatchingChoice = 390;
inline constexpr SettingItemId kItemAdjustmentListChoice = 391;
inline constexpr SettingItemId kItemAdjustmentFirst = 392;     // 392..403: packed adjustment bytes
inline constexpr SettingItemId kItemAdjustmentColorLast = 400;  // 392..400: the three colour groups
inline constexpr SettingItemId kItemAdjustmentLast = 403;
inline constexpr SettingItemId kItemBlackObjects = 454;        // 1 text, 2 graphics, 3 both in black
inline constexpr SettingItemId kItemKindMatching = 455;        // derived from the two kind-matching flags
inline constexpr SettingItemId kItemTolerantGrey = 1289;
inline constexpr SettingItemId kItemLowRasterResolution = 1302;
inline constexpr SettingItemId kItemFirstProfileOn = 1303;
inline constexpr SettingItemId kItemSecondProfileOn = 1304;
inline constexpr SettingItemId kItemSecondFromFirst = 1305;    // the second profile follows the first
inline constexpr SettingItemId kItemSecondKindMatching = 1306;
inline constexpr SettingItemId kItemBlackTextFlag = 1308;
inline constexpr SettingItemId kItemFirstKindMatching = 1309;
inline constexpr SettingItemId kItemCustomColorDetail = 1307;  // applies only while kItemPrintMode is 8
inline constexpr SettingItemId kItemBlackGraphicsFlag = 1311;
inline constexpr SettingItemId kItemPerKindAdjust = 1314;      // separate triples for text, graphics and images
inline constexpr SettingItemId kItemColorAdjustSwitch = 1317;
inline constexpr SettingItemId kItemCenterAllChannels = 1318;
inline constexpr SettingItemId kItemCenterEveryByte = 1320;
inline constexpr SettingItemId kItemTextGreyAsGrey = 1326;
inline constexpr SettingItemId kItemGraphicsGreyAsGrey = 1327;
inline constexpr SettingItemId kItemExtendedRange = 1346;
inline constexpr SettingItemId kItemFirstProfilePath = 1832;
inline constexpr SettingItemId kItemSecondProfilePath = 1833;
inline constexpr SettingItemId kItemSpecialColor = 5153;       // special colour (with kItemSpecialColorAllowed)
inline constexpr SettingItemId kItemSpecialColorValue = 5126;  // low byte the colour, bits 8-11 its variant

// Stamps.
inline constexpr SettingItemId kItemStampListNames = 272;      // the stamp list's selection (list 1098)
inline constexpr SettingItemId kItemStampName = 297;           // the chosen stamp's name; empty: none
inline constexpr SettingItemId kItemStampChoice = 298;         // built-in stamp list; shares kItemStampName's field
inline constexpr SettingItemId kItemStampText = 299;
inline constexpr SettingItemId kItemStampColorChoice = 300;    // 8: the custom colour kItemCustomColor
inline constexpr SettingItemId kItemStampColor = 301;          // 0xRRGGBB
inline constexpr SettingItemId kItemStampFrame = 302;          // 0 none, 1 box, 2 circle
inline constexpr SettingItemId kItemStampPosition = 303;       // 0 tiled; else horizontal and vertical alignment
inline constexpr SettingItemId kItemStampFont = 304;           // LOGFONTW
inline constexpr SettingItemId kItemStampFace = 305;
inline constexpr SettingItemId kItemStampFontSize = 306;       // points, 7 to 600
inline constexpr SettingItemId kItemStampFontWeight = 307;
inline constexpr SettingItemId kItemStampEscapement = 311;     // tenths of a degree
inline constexpr SettingItemId kItemStampCharSet = 1790;       // the stamp font's character set
inline constexpr SettingItemId kItemStampFirstPageOnly = 1286;
inline constexpr SettingItemId kItemStampMode = 1287;
inline constexpr SettingItemId kItemStampRepeat = 1288;        // on every sheet
inline constexpr SettingItemId kItemLogoPath = 1799;           // a picture file chosen with the browse button

// Job information printed on the page.
inline constexpr SettingItemId kItemJobInfoUserPosition = 351;  // 351..356: where each field is placed
inline constexpr SettingItemId kItemJobInfoDatePosition = 355;
inline constexpr SettingItemId kItemJobInfoFont = 357;
inline constexpr SettingItemId kItemJobInfoFace = 358;
inline constexpr SettingItemId kItemJobInfoFontSize = 359;     // points, 5 to 24
inline constexpr SettingItemId kItemJobInfoEscapement = 364;
inline constexpr SettingItemId kItemJobInfoColor = 373;
inline constexpr SettingItemId kItemJobInfoUser = 1296;        // 1296..1301: which fields are printed
inline constexpr SettingItemId kItemJobInfoOwner = 1297;
inline constexpr SettingItemId kItemJobInfoDocumentName = 1298;
inline constexpr SettingItemId kItemJobInfoPageNumber = 1299;
inline constexpr SettingItemId kItemJobInfoDate = 1300;
inline constexpr SettingItemId kItemJobInfoTime = 1301;

// Job kind, inserted sheets, delayed print and the job's header.
inline constexpr SettingItemId kItemOneTimeText = 329;         // a text kept as ANSI bytes
inline constexpr SettingItemId kItemInsertedSheetMode = 332;   // 0 none, 1 after, 2 before the document
inline constexpr SettingItemId kItemInsertedSheetPaper = 333;
inline constexpr SettingItemId kItemJobType = 334;
inline constexpr SettingItemId kItemDocumentNameMode = 335;    // 0 the item's text, 1 the document's name
inline constexpr SettingItemId kItemSaveToFile = 336;          // the job is saved (marked) rather than printed
inline constexpr SettingItemId kItemSaveFileName = 338;
inline constexpr SettingItemId kItemSideFile = 374;
inline constexpr SettingItemId kItemSheetBeforeDocument = 404;
inline constexpr SettingItemId kItemSheetAtEnd = 405;
inline constexpr SettingItemId kItemSheetList = 406;
inline constexpr SettingItemId kItemSheetBeforePaper = 407;
inline constexpr SettingItemId kItemSheetAtEndPaper = 408;
inline constexpr SettingItemId kItemSheetListPaper = 409;      // 4 or 264: which of the two paper items applies
inline constexpr SettingItemId kItemSheetPaperA = 410;
inline constexpr SettingItemId kItemSheetPaperB = 411;
inline constexpr SettingItemId kItemSheetFeedEdgeA = 412;
inline constexpr SettingItemId kItemSheetFeedEdgeB = 413;
inline constexpr SettingItemId kItemZeroPaddedNumber = 435;    // printed without its leading zeros
inline constexpr SettingItemId kItemPerUserExtension = 439;
inline constexpr SettingItemId kItemResolutionLock = 443;      // 0: the resolution follows the colour choice
inline constexpr SettingItemId kItemDelayHour = 451;
inline constexpr SettingItemId kItemDelayMinute = 452;
inline constexpr SettingItemId kItemOptionKey = 453;
inline constexpr SettingItemId kItemPerUserMargins = 463;      // margins kept per user
inline constexpr SettingItemId kItemGraphicsModeA = 1293;
inline constexpr SettingItemId kItemGraphicsModeB = 1294;
inline constexpr SettingItemId kItemJobControlWord = 1316;
inline constexpr SettingItemId kItemMonitorOn = 1321;          // document monitor; also turns the one-time text off
inline constexpr SettingItemId kItemStreamVersionSet = 1332;   // kItemStreamVersion applies
inline constexpr SettingItemId kItemJournal = 1333;            // job journal; refuses direct images
inline constexpr SettingItemId kItemSkipEmptyPages = 1334;
inline constexpr SettingItemId kItemSpoolFormat = 458;   // the settings tab's spool format
inline constexpr SettingItemId kItemJobPriority = 456;   // the settings tab's job priority
inline constexpr SettingItemId kItemApplyCheck = 1339;
inline constexpr SettingItemId kItemSheetShortForm = 1340;     // the inserted-sheet page's extra switch
inline constexpr SettingItemId kItemDeviceCollation = 1344;
inline constexpr SettingItemId kItemEntryOverride = 1352;
inline constexpr SettingItemId kItemSaveFolder = 1829;
inline constexpr SettingItemId kItemOverlayPath = 1830;
inline constexpr SettingItemId kItemDocumentName = 1831;
inline constexpr SettingItemId kItemNumberListFirst = 1834;    // 1834..1853: numbers typed as one list
inline constexpr SettingItemId kItemNumberListLast = 1853;
inline constexpr SettingItemId kItemMonitorJob = 8201;

// Fax and cover sheets.
inline constexpr SettingItemId kItemFaxDataFile = 375;
inline constexpr SettingItemId kItemFaxHeaderSheet = 376;
inline constexpr SettingItemId kItemFaxHeaderOverlay = 377;
inline constexpr SettingItemId kItemFaxOneJob = 379;           // one job for every destination
inline constexpr SettingItemId kItemFaxDestinations = 380;     // number of destinations
inline constexpr SettingItemId kItemFaxHeaderOnly = 381;       // send the header sheet only; locks the fax items
inline constexpr SettingItemId kItemFaxTimeOn = 1800;
inline constexpr SettingItemId kItemFaxHour = 1801;
inline constexpr SettingItemId kItemFaxMinute = 1802;
inline constexpr SettingItemId kItemCoverKind = 1804;
inline constexpr SettingItemId kItemCoverTitle = 1805;
inline constexpr SettingItemId kItemCoverRecipient = 1806;
inline constexpr SettingItemId kItemCoverCompany = 1807;
inline constexpr SettingItemId kItemCoverHonorific = 1808;
inline constexpr SettingItemId kItemCoverNumberPrefix = 1809;
inline constexpr SettingItemId kItemCoverSenderFirst = 1820;   // 1820..1823: the sender's four fields
inline constexpr SettingItemId kItemFaxSecondPrefix = 5141;
inline constexpr SettingItemId kItemFaxSecondPrefixOn = 5142;
inline constexpr SettingItemId kItemFaxFirstPrefix = 5143;
inline constexpr SettingItemId kItemFaxFirstPrefixOn = 5144;
inline constexpr SettingItemId kItemFaxNoPrefixOn = 5145;

// Owner, user and prompt items of the configuration.
inline constexpr SettingItemId kItemDepartment = 1795;         // settings extension text
inline constexpr SettingItemId kItemOwnerName = 5121;
inline constexpr SettingItemId kItemOwnerMode = 5127;          // 1 or 4 the owner name, 5 or 6 the other
inline constexpr SettingItemId kItemAccountText = 5129;
inline constexpr SettingItemId kItemOtherOwnerName = 5150;
inline constexpr SettingItemId kItemOwnerSetSwitch = 5163;     // chooses the second owner and prompt set
inline constexpr SettingItemId kItemPrompt = 5164;
inline constexpr SettingItemId kItemPromptAlt = 5165;
inline constexpr SettingItemId kItemPromptKeepValues = 5168;
inline constexpr SettingItemId kItemPromptKeepValuesAlt = 5169;
inline constexpr SettingItemId kItemPromptGroup1Key = 5174;
inline constexpr SettingItemId kItemPromptGroup1Password = 5175;
inline constexpr SettingItemId kItemPromptGroup1Account = 5176;
inline constexpr SettingItemId kItemOwnerModeAlt = 5178;
inline constexpr SettingItemId kItemPromptGroup = 5183;        // 0 group 1, 1 group 2
inline constexpr SettingItemId kItemPromptGroup2Key = 5184;
inline constexpr SettingItemId kItemPromptGroup2Pin = 5185;

// Device options of the configuration.
inline constexpr SettingItemId kItemDeviceOptionFirst = 4097;  // 4097..4362: the device option items
inline constexpr SettingItemId kItemCopiesByDevice = 4099;
inline constexpr SettingItemId kItemDevicePictureOption = 4114;  // an option the device picture leaves out without it
inline constexpr SettingItemId kItemStapler = 4101;
inline constexpr SettingItemId kItemModelOptions = 4103;       // the model's basic feature flag
inline constexpr SettingItemId kItemStaplerSecond = 4116;
inline constexpr SettingItemId kItemCopiesByDeviceSecond = 4123;
inline constexpr SettingItemId kItemSpecialColorAllowed = 4129;
inline constexpr SettingItemId kItemConditionKey = 4355;
inline constexpr SettingItemId kItemCountryDefault = 4356;     // takes the country's default when the model asks
inline constexpr SettingItemId kItemCountryDefaultSecond = 4358;
inline constexpr SettingItemId kItemDeviceOptionLast = 4362;
inline constexpr SettingItemId kItemStreamFamily = 5125;       // picks kItemStreamVersion with the model family
inline constexpr SettingItemId kItemDeviceOptionExtra = 5123;  // counted with the device options on the device picture
inline constexpr SettingItemId kItemFinisher = 5134;
inline constexpr SettingItemId kItemFontOptionSwitch = 5146;   // the TrueType options page's check box
inline constexpr SettingItemId kItemFontOptionValue = 5147;    // its number field; shown from 1
inline constexpr SettingItemId kItemSaveJobAllowed = 5149;
inline constexpr SettingItemId kItemBookletSubsetDevice = 5158;

// Items known by how they are stored or converted rather than by what they set.
inline constexpr SettingItemId kItemLegacySwitch = 331;        // set from the old record's switch at byte 316
inline constexpr SettingItemId kItemInvertedFlag = 1284;       // stored with the opposite sense: set means off

// Ranges of kept items: what restoring the defaults leaves alone.
inline constexpr SettingItemId kItemKeptFirst = 4098;
inline constexpr SettingItemId kItemKeptLast = 4639;

// Database record items: ids that name a record of the description database, not a value.
inline constexpr SettingItemId kItemPaperRecord = 0x8001;          // type 10
inline constexpr SettingItemId kItemPaperSourceRecord = 0x8002;    // type 5
inline constexpr SettingItemId kItemPaperSourceRecordSecond = 0x8003; // type 6
inline constexpr SettingItemId kItemMediaTypeRecord = 0x800B;      // type 19

// Job attribute items: values the job header computes rather than reads.
inline constexpr SettingItemId kItemJobOwner = 0x2001;
inline constexpr SettingItemId kItemJobDelayedPrint = 0x8010;
inline constexpr SettingItemId kItemJobDocumentName = 0x9026;

// An id in no range of the item tables: what an access to an unknown item is tried with.
inline constexpr SettingItemId kItemOutsideEveryRange = 0x7FFF;

// Pseudo items: ids above 0x9000 that stand for requests and dialog rows.
inline constexpr SettingItemId kItemPseudoFirst = 0x9000;
inline constexpr SettingItemId kItemStampAddRequest = 0x9001;     // add a stamp
inline constexpr SettingItemId kItemStampEditRequest = 0x9002;    // act on the stamp named by kItemStampName
inline constexpr SettingItemId kItemStampDeleteRequest = 0x9003;  // the same, for a stored stamp only
inline constexpr SettingItemId kItemPresetList = 0x9018;
inline constexpr SettingItemId kItemDeviceStatus = 0x9021;        // the device status row
inline constexpr SettingItemId kItemEmptyLabel = 0x9029;          // a row without a label

// Items of the layout popup, the job-type details and the tray popup.
inline constexpr SettingItemId kItemCoverPrinting = 1330;
inline constexpr SettingItemId kItemUnitRow = 36890;
inline constexpr SettingItemId kItemLayoutTitle = 36891;
inline constexpr SettingItemId kItemJobDetails = 36896;
inline constexpr SettingItemId kItemTrayPopup = 36898;
inline constexpr SettingItemId kItemAboutDocument = 36877;  // the about dialog's document button
inline constexpr SettingItemId kItemAboutButton = 36900;    // the settings tab's About button
