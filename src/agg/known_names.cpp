// The fixed table of the archive's known member names, in filling order. The archive
// stores only a 16-bit key per member; this table turns the key back into the file name.
#include "known_names.h"

#include <array>

namespace vex {

namespace {

// Ten names to a line, numbered as they are filled; kept as written, not reflowed.
// clang-format off
constexpr std::array<std::string_view, KnownNameCount> NameList = {{
    // 1-10
    "overmain.bmp", "overban0.bmp", "overban1.bmp", "overban2.bmp", "overban3.bmp", "bigfont.fnt",
    "smalfont.fnt", "advmice.mse", "cmbtmous.mse", "spelmous.mse",
    // 11-20
    "advmice.icn", "cmbtmous.icn", "spells.icn", "kb.pal", "combat.pal", "poof.icn", "textbar.icn",
    "font.icn", "smalfont.icn", "newgame.bin",
    // 21-30
    "newgame.bmp", "newgame.icn", "boat.xtl", "grass.xtl", "dgrass.xtl", "dirt.xtl", "snow.xtl",
    "swamp.xtl", "desert.xtl", "lava.xtl",
    // 31-40
    "grass.obj", "dgrass.obj", "snow.obj", "swamp.obj", "lava.obj", "desert.obj", "boat.bkg",
    "frstwgrs.bkg", "mtnwgrsf.bkg", "snowfrst.bkg",
    // 41-50
    "snowmtnf.bkg", "swamp.bkg", "lava.bkg", "desert.bkg", "frstwdrt.bkg", "mtnwdrtf.bkg",
    "selector.icn", "catapult.icn", "tent.icn", "castle00.icn",
    // 51-60
    "castle01.icn", "castle02.icn", "castle03.icn", "cloud.icn", "peasant.std", "peasant.wlk",
    "archer.std", "archer.wlk", "archer.atk", "pikeman.std",
    // 61-70
    "pikeman.wlk", "swrdsman.std", "swrdsman.wlk", "cavalry.std", "cavalry.wlk", "paladin.std",
    "paladin.wlk", "goblin.std", "goblin.wlk", "orc.std",
    // 71-80
    "orc.wlk", "orc.atk", "wolf.std", "wolf.wlk", "ogre.std", "ogre.wlk", "troll.std", "troll.wlk",
    "troll.atk", "cyclops.std",
    // 81-90
    "cyclops.wlk", "sprite.std", "sprite.wlk", "dwarf.std", "dwarf.wlk", "druid.std", "druid.wlk",
    "druid.atk", "elf.std", "elf.wlk",
    // 91-100
    "elf.atk", "unicorn.std", "unicorn.wlk", "phoenix.std", "phoenix.wlk", "centaur.std",
    "centaur.wlk", "centaur.atk", "gargoyle.std", "gargoyle.wlk",
    // 101-110
    "griffin.std", "griffin.wlk", "minotaur.std", "minotaur.wlk", "hydra.std", "hydra.wlk",
    "dragon.std", "dragon.wlk", "rogue.std", "rogue.wlk",
    // 111-120
    "nomad.std", "nomad.wlk", "ghost.std", "ghost.wlk", "genie.std", "genie.wlk", "boulder.icn",
    "viewgen.icn", "viewarmy.icn", "vgenback.icn",
    // 121-130
    "book.icn", "bord.bmp", "heroes.bmp", "ground32.til", "object32.icn", "ovrlay32.icn",
    "kngt32.icn", "barb32.icn", "sorc32.icn", "wrlk32.icn",
    // 131-140
    "shadow32.icn", "b-flag32.icn", "g-flag32.icn", "r-flag32.icn", "y-flag32.icn", "boat32.icn",
    "b-bflg32.icn", "g-bflg32.icn", "r-bflg32.icn", "y-bflg32.icn",
    // 141-150
    "bluefire.icn", "redfire.icn", "electric.icn", "physical.icn", "elecfire.icn", "reddeath.icn",
    "magic01.icn", "magic02.icn", "magic03.icn", "magic04.icn",
    // 151-160
    "magic05.icn", "magic06.icn", "magic07.icn", "magic08.icn", "fireball.icn", "storm.icn",
    "meteor.icn", "advbtns.icn", "radar.icn", "magegld.tod",
    // 161-170
    "thievesg.tod", "tavern.tod", "dock.tod", "well.tod", "magegld.icn", "thievesg.icn",
    "tavern.icn", "dock.icn", "well.icn", "townbkg0.bmp",
    // 171-180
    "farmtent.tod", "farmcast.tod", "farm_d0.tod", "farm_d1.tod", "farm_d2.tod", "farm_d3.tod",
    "farm_d4.tod", "farm_d5.tod", "farmtent.icn", "farmcast.icn",
    // 181-190
    "farm_d0.icn", "farm_d1.icn", "farm_d2.icn", "farm_d3.icn", "farm_d4.icn", "farm_d5.icn",
    "townbkg1.bmp", "frsttent.tod", "frstcast.tod", "frst_d0.tod",
    // 191-200
    "frst_d1.tod", "frst_d2.tod", "frst_d3.tod", "frst_d4.tod", "frst_d5.tod", "frsttent.icn",
    "frstcast.icn", "frst_d0.icn", "frst_d1.icn", "frst_d2.icn",
    // 201-210
    "frst_d3.icn", "frst_d4.icn", "frst_d5.icn", "townbkg2.bmp", "plnstent.tod", "plnscast.tod",
    "plns_d0.tod", "plns_d1.tod", "plns_d2.tod", "plns_d3.tod",
    // 211-220
    "plns_d4.tod", "plns_d5.tod", "plns_e0.tod", "plnstent.icn", "plnscast.icn", "plns_d0.icn",
    "plns_d1.icn", "plns_d2.icn", "plns_d3.icn", "plns_d4.icn",
    // 221-230
    "plns_d5.icn", "plns_e0.icn", "townbkg3.bmp", "mtntent.tod", "mtncast.tod", "mtn_d0.tod",
    "mtn_d1.tod", "mtn_d2.tod", "mtn_d3.tod", "mtn_d4.tod",
    // 231-240
    "mtn_d5.tod", "mtntent.icn", "mtncast.icn", "mtn_d0.icn", "mtn_d1.icn", "mtn_d2.icn",
    "mtn_d3.icn", "mtn_d4.icn", "mtn_d5.icn", "strip.icn",
    // 241-250
    "monsters.icn", "treasury.icn", "resource.icn", "townfix.icn", "townname.icn", "bankbox.bin",
    "adv_wind.bin", "magewind.bin", "caslwind.bin", "thiefwin.bin",
    // 251-260
    "wellwind.bin", "buybuild.icn", "recruit0.bin", "recruit1.bin", "stonebak.bmp", "building.icn",
    "system.icn", "townwind.icn", "obj32-00.icn", "obj32-01.icn",
    // 261-270
    "obj32-02.icn", "obj32-03.icn", "obj32-04.icn", "obj32-05.icn", "obj32-06.icn", "obj32-07.icn",
    "mtn32.icn", "tree32.icn", "town32.icn", "rsrc32.icn",
    // 271-280
    "mons32.icn", "art32.icn", "flag32.icn", "armywin.bin", "tavwin.icn", "tavwin.bin",
    "shipwind.bin", "rcrthero.bin", "herowind.bin", "heroscrn.icn",
    // 281-290
    "heroscrn.bmp", "townstrp.bin", "artifact.icn", "statbar.bin", "spellwin.bin", "scroll.icn",
    "locators.icn", "qhero0.bin", "qhero1.bin", "qtown0.bin",
    // 291-300
    "qtown1.bin", "qwikinfo.bin", "qwikhero.bmp", "qwiktown.bmp", "qwikinfo.bmp", "splitwin.bin",
    "vgenwin.bin", "overview.icn", "overwind.bin", "buybook.bin",
    // 301-310
    "puzzle.icn", "vstat.bin", "cmbtwin.bin", "swapwin.bin", "swapwin.bmp", "swapbtn.icn",
    "tree6.icn", "mtn6.icn", "town6.icn", "flag6.icn",
    // 311-320
    "ground6.icn", "request.bin", "request.icn", "request.bmp", "port0000.icn", "port0001.icn",
    "port0002.icn", "port0003.icn", "port0004.icn", "port0005.icn",
    // 321-330
    "port0006.icn", "port0007.icn", "port0008.icn", "port0009.icn", "port0010.icn", "port0011.icn",
    "port0012.icn", "port0013.icn", "port0014.icn", "port0015.icn",
    // 331-340
    "port0016.icn", "port0017.icn", "port0018.icn", "port0019.icn", "port0020.icn", "port0021.icn",
    "port0022.icn", "port0023.icn", "port0024.icn", "port0025.icn",
    // 341-350
    "port0026.icn", "port0027.icn", "port0028.icn", "port0029.icn", "port0030.icn", "port0031.icn",
    "port0032.icn", "port0033.icn", "port0034.icn", "port0035.icn",
    // 351-360
    "crst0000.icn", "crst0001.icn", "crst0002.icn", "crst0003.icn", "crst0004.icn", "crst0005.icn",
    "crst0006.icn", "crst0007.icn", "crst0008.icn", "crst0009.icn",
    // 361-370
    "crst0010.icn", "crst0011.icn", "crst0012.icn", "crst0013.icn", "crst0014.icn", "crst0015.icn",
    "crst0016.icn", "crst0017.icn", "crst0018.icn", "crst0019.icn",
    // 371-380
    "surrendr.bin", "surrendr.bmp", "surrendr.icn", "recruit.bmp", "recruit.icn", "artfx.icn",
    "bigbar.icn", "cpanel.bin", "cpanel.bmp", "cpanel.icn",
    // 381-390
    "peasant.wip", "archer.wip", "pikeman.wip", "swrdsman.wip", "cavalry.wip", "paladin.wip",
    "goblin.wip", "orc.wip", "wolf.wip", "troll.wip",
    // 391-400
    "cyclops.wip", "druid.wip", "dwarf.wip", "elf.wip", "unicorn.wip", "centaur.wip",
    "minotaur.wip", "hydra.wip", "rogue.wip", "nomad.wip",
    // 401-410
    "ogre.wip", "woodgrai.bmp", "legend.bmp", "legend.icn", "viewhros.bmp", "viewtwns.bmp",
    "viewrtfx.bmp", "viewwrld.bmp", "viewpuzl.bmp", "viewpuzl.bin",
    // 411-420
    "view-00.bin", "view-01.bin", "view-02.bin", "view-03.bin", "view-04.bin", "view-05.bin",
    "spheres.icn", "letters.icn", "dimdoor.bin", "winlose.bmp",
    // 421-430
    "wincmbt.icn", "wincmbt.bin", "losecmbt.bmp", "losecmbt.bin", "losecmbt.icn", "losewalk.icn",
    "wsnd00.82m", "wsnd01.82m", "wsnd02.82m", "wsnd03.82m",
    // 431-440
    "wsnd04.82m", "wsnd05.82m", "wsnd06.82m", "wsnd10.82m", "wsnd11.82m", "wsnd12.82m",
    "wsnd13.82m", "wsnd14.82m", "wsnd15.82m", "wsnd16.82m",
    // 441-450
    "wsnd20.82m", "wsnd21.82m", "wsnd22.82m", "wsnd23.82m", "wsnd24.82m", "wsnd25.82m",
    "wsnd26.82m", "townwind.bin", "loop0000.82m", "loop0001.82m",
    // 451-460
    "loop0002.82m", "loop0003.82m", "loop0004.82m", "loop0005.82m", "loop0006.82m", "loop0007.82m",
    "loop0008.82m", "loop0009.82m", "loop0010.82m", "loop0011.82m",
    // 461-470
    "loop0012.82m", "loop0013.82m", "loop0014.82m", "loop0015.82m", "loop0016.82m", "loop0017.82m",
    "loop0018.82m", "loop0019.82m", "loop0020.82m", "loop0021.82m",
    // 471-480
    "WINCE00.82M", "WINCE01.82M", "WINCE02.82M", "WINCE03.82M", "WINCE04.82M", "WINCE05.82M",
    "WINCE06.82M", "WINCE07.82M", "WINCE08.82M", "WINCE09.82M",
    // 481-490
    "WINCE10.82M", "WINCE11.82M", "WINCE12.82M", "WINCE13.82M", "WINCE14.82M", "WINCE15.82M",
    "WINCE16.82M", "WINCE17.82M", "WINCE18.82M", "WINCE19.82M",
    // 491-500
    "WINCE20.82M", "WINCE21.82M", "WINCE22.82M", "WINCE23.82M", "WINCE24.82M", "WINCE25.82M",
    "WINCE26.82M", "WINCE27.82M", "ATKSND00.82M", "ATKSND01.82M",
    // 501-510
    "ATKSND02.82M", "ATKSND03.82M", "ATKSND04.82M", "ATKSND05.82M", "ATKSND06.82M", "ATKSND07.82M",
    "ATKSND08.82M", "ATKSND09.82M", "ATKSND10.82M", "ATKSND11.82M",
    // 511-520
    "ATKSND12.82M", "ATKSND13.82M", "ATKSND14.82M", "ATKSND15.82M", "ATKSND16.82M", "ATKSND17.82M",
    "ATKSND18.82M", "ATKSND19.82M", "ATKSND20.82M", "ATKSND21.82M",
    // 521-530
    "ATKSND22.82M", "ATKSND23.82M", "ATKSND24.82M", "ATKSND25.82M", "ATKSND26.82M", "ATKSND27.82M",
    "SHOOT01.82M", "SHOOT07.82M", "SHOOT10.82M", "SHOOT14.82M",
    // 531-540
    "SHOOT15.82M", "SHOOT18.82M", "MOVE00.82M", "MOVE01.82M", "MOVE02.82M", "MOVE03.82M",
    "MOVE04.82M", "MOVE05.82M", "MOVE06.82M", "MOVE07.82M",
    // 541-550
    "MOVE08.82M", "MOVE09.82M", "MOVE10.82M", "MOVE11.82M", "MOVE12.82M", "MOVE13.82M",
    "MOVE14.82M", "MOVE15.82M", "MOVE16.82M", "MOVE17.82M",
    // 551-560
    "MOVE18.82M", "MOVE19.82M", "MOVE20.82M", "MOVE21.82M", "MOVE22.82M", "MOVE23.82M",
    "MOVE24.82M", "MOVE25.82M", "MOVE26.82M", "MOVE27.82M",
    // 561-570
    "CATSND00.82M", "CATSND02.82M", "evntwin0.bin", "evntwin1.bin", "evntwin2.bin", "evntwin3.bin",
    "evntwin4.bin", "evntwin5.bin", "evntwin6.bin", "evntwin7.bin",
    // 571-580
    "clof32.til", "clop32.icn", "apanel.icn", "apanel.bin", "apanel.bmp", "rainbluk.icn",
    "cloudluk.icn", "route.icn", "ston.til", "stonback.icn",
    // 581-590
    "smcrest.icn", "ressmall.icn", "sunmoon.icn", "hourglas.icn", "brcrest.icn", "moraleg.icn",
    "moraleb.icn", "miniport.icn", "portxtra.icn", "mobility.icn",
    // 591-600
    "herologo.til", "expmrl.icn", "minimon.icn", "buybuil3.bin", "buybuil4.bin", "buybuil5.bin",
    "buybuil6.bin", "buybuil7.bin", "keep00.icn", "keep01.icn",
    // 601-610
    "keep02.icn", "keep03.icn", "hiscore.bmp", "hiscore.icn", "hiscore.bin", "winloseb.icn",
    "netbox.icn", "netbox.bin", "gravyard.bkg", "recruiq0.bin",
    // 611-620
    "recruiq1.bin", "recruit2.bmp", "congrats.bmp", "congrats.bin", "scroll2.icn", "reqextra.bmp",
    "reqextra.bin", "dataentr.bin", "redback.bmp", "btncmpgn.icn",
    // 621-630
    "btncom.icn", "btnhotst.icn", "btnmain.icn", "btnmodem.icn", "btnmp.icn", "btnnet.icn",
    "btnnewgm.icn", "stpcmpgn.bin", "stpcom.bin", "stphotst.bin",
    // 631-640
    "stpmain.bin", "stpmodem.bin", "stpmp.bin", "stpnet.bin", "stpnewgm.bin", "boat.obj",
    "BADLUCK.82M", "BADMRLE.82M", "BUILDTWN.82M", "DIGSOUND.82M",
    // 641-650
    "GOODLUCK.82M", "GOODMRLE.82M", "KILLFADE.82M", "PICKUP01.82M", "PICKUP02.82M", "PICKUP03.82M",
    "PICKUP04.82M", "PICKUP05.82M", "PREBATTL.82M", "RSBRYFZL.82M",
    // 651-660
    "SPELL00.82M", "SPELL01.82M", "SPELL02.82M", "SPELL03.82M", "SPELL04.82M", "SPELL05.82M",
    "SPELL06.82M", "SPELL07.82M", "SPELL08.82M", "SPELL09.82M",
    // 661-670
    "SPELL10.82M", "SPELL11.82M", "SPELL12.82M", "SPELL13.82M", "SPELL14.82M", "SPELL15.82M",
    "SPELL16.82M", "SPELL17.82M", "SPELL18.82M", "TELEIN.82M",
    // 671-680
    "campaign.icn", "campback.bmp", "campaign.bin", "sceninfo.icn", "sceninfo.bmp", "sceninfo.bin",
    "credits.bmp", "congspre.bin", "bordedit.BMP", "BUTTONS.ICN",
    // 681-690
    "CELLWIN.ICN", "CELLWIN.BIN", "EDITWIND.BIN", "ESCROLL.ICN", "GROUND16.TIL", "HEROEDIT.BIN",
    "MONEDIT.BIN", "OVERLAY.ICN", "TERRAINS.ICN", "EDITTOWN.BIN",
    // 691-700
    "obj16-00.icn", "obj16-01.icn", "obj16-02.icn", "obj16-03.icn", "obj16-04.icn", "obj16-05.icn",
    "obj16-06.icn", "obj16-07.icn", "mtn16.icn", "tree16.icn",
    // 701-710
    "town16.icn", "rsrc16.icn", "mons16.icn", "art16.icn", "clearwin.bin", "dtlwind.bin",
    "textback.icn", "editnew.bin", "ccycle00.bin", "ccycle01.bin",
    // 711-720
    "ccycle02.bin", "ccycle03.bin", "ccycle04.bin", "ccycle05.bin", "ccycle06.bin", "ccycle07.bin",
    "clof16.til", "advmco01.bmp", "advmco02.bmp", "advmco03.bmp",
    // 721-730
    "advmco04.bmp", "advmco05.bmp", "advmco06.bmp", "advmco07.bmp", "advmco08.bmp", "advmco09.bmp",
    "advmco10.bmp", "advmco11.bmp", "advmco12.bmp", "advmco13.bmp",
    // 731-740
    "advmco14.bmp", "advmco15.bmp", "advmco16.bmp", "advmco17.bmp", "advmco18.bmp", "advmco19.bmp",
    "advmco20.bmp", "advmco21.bmp", "advmco22.bmp", "advmco23.bmp",
    // 741-750
    "advmco24.bmp", "advmco25.bmp", "advmco26.bmp", "advmco27.bmp", "advmco28.bmp", "advmco29.bmp",
    "advmco30.bmp", "advmco31.bmp", "advmco32.bmp", "advmco33.bmp",
    // 751-760
    "advmco34.bmp", "advmco35.bmp", "advmco36.bmp", "advmco37.bmp", "advmco38.bmp", "advmco39.bmp",
    "advmco40.bmp", "cmseco01.bmp", "cmseco02.bmp", "cmseco03.bmp",
    // 761-770
    "cmseco04.bmp", "cmseco05.bmp", "cmseco06.bmp", "cmseco07.bmp", "cmseco08.bmp", "cmseco09.bmp",
    "cmseco10.bmp", "cmseco11.bmp", "cmseco12.bmp", "cmseco13.bmp",
    // 771-780
    "cmseco14.bmp", "cmseco15.bmp", "spelco01.bmp", "spelco02.bmp", "spelco03.bmp", "spelco04.bmp",
    "spelco05.bmp", "spelco06.bmp", "spelco07.bmp", "spelco08.bmp",
    // 781-790
    "spelco09.bmp", "spelco10.bmp", "spelco11.bmp", "spelco12.bmp", "spelco13.bmp", "spelco14.bmp",
    "spelco15.bmp", "spelco16.bmp", "spelco17.bmp", "spelco18.bmp",
    // 791-800
    "spelco19.bmp", "spelco20.bmp", "advmbw01.bmp", "advmbw02.bmp", "advmbw03.bmp", "advmbw04.bmp",
    "advmbw05.bmp", "advmbw06.bmp", "advmbw07.bmp", "advmbw08.bmp",
    // 801-810
    "advmbw09.bmp", "advmbw10.bmp", "advmbw11.bmp", "advmbw12.bmp", "advmbw13.bmp", "advmbw14.bmp",
    "advmbw15.bmp", "advmbw16.bmp", "advmbw17.bmp", "advmbw18.bmp",
    // 811-820
    "advmbw19.bmp", "advmbw20.bmp", "advmbw21.bmp", "advmbw22.bmp", "advmbw23.bmp", "advmbw24.bmp",
    "advmbw25.bmp", "advmbw26.bmp", "advmbw27.bmp", "advmbw28.bmp",
    // 821-830
    "advmbw29.bmp", "advmbw30.bmp", "advmbw31.bmp", "advmbw32.bmp", "advmbw33.bmp", "advmbw34.bmp",
    "advmbw35.bmp", "advmbw36.bmp", "advmbw37.bmp", "advmbw38.bmp",
    // 831-840
    "advmbw39.bmp", "advmbw40.bmp", "cmsebw01.bmp", "cmsebw02.bmp", "cmsebw03.bmp", "cmsebw04.bmp",
    "cmsebw05.bmp", "cmsebw06.bmp", "cmsebw07.bmp", "cmsebw08.bmp",
    // 841-850
    "cmsebw09.bmp", "cmsebw10.bmp", "cmsebw11.bmp", "cmsebw12.bmp", "cmsebw13.bmp", "cmsebw14.bmp",
    "cmsebw15.bmp", "spelbw01.bmp", "spelbw02.bmp", "spelbw03.bmp",
    // 851-860
    "spelbw04.bmp", "spelbw05.bmp", "spelbw06.bmp", "spelbw07.bmp", "spelbw08.bmp", "spelbw09.bmp",
    "spelbw10.bmp", "spelbw11.bmp", "spelbw12.bmp", "spelbw13.bmp",
    // 861-870
    "spelbw14.bmp", "spelbw15.bmp", "spelbw16.bmp", "spelbw17.bmp", "spelbw18.bmp", "spelbw19.bmp",
    "spelbw20.bmp", "stpmcfg.bin", "btnmcfg.icn", "stpbaud.bin",
    // 871-880
    "btnbaud.icn", "stpdc.bin", "btndc.icn", "stpdccfg.bin", "btndccfg.icn", "file_14.bin",
    "initmenu.bmp", "initmenu.icn", "file_29.icn", "file_148.bmp",
    // 881-890
    "file_278.bin", "buybuild.bin", "msgwin.bin", "errwin.bin", "disarmy.bin", "dishero.bin",
    "overvu00.bmp", "overvu01.bmp", "overvu02.bmp", "overvu03.bmp",
    // 891-900
    "vstat00.bin", "vstat01.bin", "vstat02.bin", "vstat03.bin", "vstat04.bin", "vstatb00.bin",
    "vstatb01.bin", "vstatb02.bin", "vstatb03.bin", "vstatb04.bin",
    // 901-910
    "nospells.bin", "noname.bin", "nocolor.bin", "noenemy.bin", "idspell.bin", "ask2save.bin",
    "boatfail.bin", "dimfail.bin", "catsnd01.82M", "hintro.pal",
    // 911-920
    "left.bmp", "right.bmp", "tent1.icn", "tent2.icn", "tent3.icn", "tent4.icn", "tent5.icn",
    "tent6.icn", "tent7.icn", "banner.icn",
    // 921-925
    "crowd.icn", "msgwin01.bin", "msgwin31.bin", "msgwin32.bin", "msgwin39.bin",
}};
// clang-format on

} // namespace

const std::array<TFixedKey, 4> FixedKeys = {{
    {"file_14.bin", 0x5837},
    {"file_29.icn", 0x443A},
    {"file_148.bmp", 0xF9B6},
    {"file_278.bin", 0x2FD7},
}};

std::uint16_t NameKey(std::string_view name) {
  std::uint16_t h = 0;
  for (const char ch : name) {
    unsigned c = static_cast<unsigned char>(ch);
    if (c >= 'a' && c <= 'z')
      c -= 32;
    h = static_cast<std::uint16_t>((h << 9) | (h >> 7));
    h = static_cast<std::uint16_t>(h - c);
  }
  return h;
}

std::uint16_t KeyOf(std::string_view name) {
  for (const TFixedKey& fixed : FixedKeys) {
    if (fixed.name == name)
      return fixed.key;
  }
  return NameKey(name);
}

const std::array<std::string_view, 65536>& KnownNames() {
  // Filled by the first caller, once, thread-safely: views of the constant text, nothing
  // copied. The table lives in static storage for the whole run.
  static const std::array<std::string_view, 65536> table = [] {
    std::array<std::string_view, 65536> slots{};
    for (const std::string_view name : NameList)
      slots[KeyOf(name)] = name;
    return slots;
  }();
  return table;
}

std::string_view LookupKnownName(std::uint16_t key) {
  return KnownNames()[key];
}

const std::array<std::string_view, KnownNameCount>& KnownNameList() {
  return NameList;
}

} // namespace vex
