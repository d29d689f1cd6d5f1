#include "radar/site_table.h"

#include <array>

namespace nubivista::radar {

namespace {

using L = QLatin1String;

// Several descriptions keep the spelling users have always seen in the caption
// ("Bismark", "State Collegea"); sets saved with them show the same text. The
// station names, states and positions are those of the NCEI station list
// (US government public data), in decimal degrees.
constexpr std::array<SiteRow, 154> Sites{{
    {L("paec"), L("PAEC - Nome, AK"), L("NOME"), L("AK"), 64.511389, -165.295},
    {L("pabc"), L("PABC - Bethel, AK"), L("BETHEL FAA"), L("AK"), 60.791944, -161.87638},
    {L("pakc"), L("PAKC - King Salmon"), L("KING SALMON"), L("AK"), 58.679444, -156.62944},
    {L("pahg"), L("PAHG - Anchorage, AK"), L("ANCHORAGE"), L("AK"), 60.725914, -151.35146},
    {L("paih"), L("PAIH - Middleton Island, AK"), L("MIDDLETON ISLAND"), L("AK"), 59.460767,
     -146.30344},
    {L("pacg"), L("PACG - Sitka, AK"), L("SITKA"), L("AK"), 56.852778, -135.52916},
    {L("papd"), L("PAPD - Fairbanks, AK"), L("FAIRBANKS"), L("AK"), 65.035114, -147.50143},
    {L("pgua"), L("PGUA - Anderson AFB, Guam"), L("ANDERSEN AFB AGANA"), L("GU"), 13.455833,
     144.811111},
    {L("tjua"), L("TJUA - Puerto Rico/Virgin Islands"), L("SAN JUAN"), L("PR"), 18.115667,
     -66.078167},
    {L("katx"), L("KATX - Seattle/Tacoma, WA"), L("SEATTLE"), L("WA"), 48.194611, -122.49569},
    {L("kotx"), L("KOTX - Spokane, WA"), L("SPOKANE"), L("WA"), 47.680417, -117.62677},
    {L("kpdt"), L("KPDT - Pendleton, OR"), L("PENDLETON"), L("OR"), 45.69065, -118.85293},
    {L("krtx"), L("KRTX - Portland, OR"), L("PORTLAND"), L("OR"), 45.715039, -122.965},
    {L("kmax"), L("KMAX - Medford, OR"), L("MEDFORD"), L("OR"), 42.081169, -122.71736},
    {L("kbhx"), L("KBHX - Eureka, CA"), L("EUREKA"), L("CA"), 40.498583, -124.29216},
    {L("kbbx"), L("KBBX - Beale AFB, CA"), L("BEALE AFB"), L("CA"), 39.495639, -121.63161},
    {L("kdax"), L("KDAX - Sacramento, CA"), L("SACRAMENTO"), L("CA"), 38.501111, -121.67783},
    {L("kmux"), L("KMUX - San Francisco Bay Area, CA"), L("SAN FRANCISCO"), L("CA"), 37.155222,
     -121.89844},
    {L("krgx"), L("KRGX - Reno, NV"), L("RENO"), L("NV"), 39.754056, -119.46202},
    {L("klrx"), L("KLRX - Elko, NV"), L("ELKO"), L("NV"), 40.73955, -116.8027},
    {L("kcbx"), L("KCBX - Boise, ID"), L("BOISE"), L("ID"), 43.490217, -116.23603},
    {L("kmsx"), L("KMSX - Missoula, MT"), L("MISSOULA"), L("MT"), 47.041, -113.98622},
    {L("ktfx"), L("KTFX - Great Falls, MT"), L("GREAT FALLS"), L("MT"), 47.459583, -111.38533},
    {L("ksfx"), L("KSFX - Pocatello/Idaho Falls, ID"), L("POCATELLO"), L("ID"), 43.1056,
     -112.68613},
    {L("kmtx"), L("KMTX - Salt Lake City, UT"), L("SALT LAKE CITY"), L("UT"), 41.262778,
     -112.44777},
    {L("kicx"), L("KICX - Cedar City, UT"), L("CEDAR CITY"), L("UT"), 37.59105, -112.86218},
    {L("kesx"), L("KESX - Las Vegas, NV"), L("LAS VEGAS"), L("NV"), 35.70135, -114.89165},
    {L("keyx"), L("KEYX - Edwards AFB, CA"), L("EDWARDS"), L("CA"), 35.09785, -117.56075},
    {L("khnx"), L("KHNX - San Joaquin Valley, CA"), L("SAN JOAQUIN VALLEY"), L("CA"), 36.314181,
     -119.63213},
    {L("kvbx"), L("KVBX - Vandenberg AFB, CA"), L("VANDENBERG AFB"), L("CA"), 34.83855, -120.39791},
    {L("kvtx"), L("KVTX - Los Angeles, CA"), L("LOS ANGELES"), L("CA"), 34.412017, -119.17875},
    {L("ksox"), L("KSOX - Santa Ana Mountains, CA"), L("SANTA ANA MOUNTAINS"), L("CA"), 33.817733,
     -117.636},
    {L("knkx"), L("KNKX - San Diego, CA"), L("SAN DIEGO"), L("CA"), 32.919017, -117.0418},
    {L("phwa"), L("PHWA - South Shore, HI"), L("SOUTH SHORE"), L("HI"), 19.095, -155.56888},
    {L("phkm"), L("PHKM - Kamuela, HI"), L("KAMUELA"), L("HI"), 20.125278, -155.77777},
    {L("phmo"), L("PHMO - Molokai, HI"), L("MOLOKAI"), L("HI"), 21.132778, -157.18027},
    {L("phki"), L("PHKI - South Kauai, HI"), L("SOUTH KAUAI"), L("HI"), 21.893889, -159.5525},
    {L("kyux"), L("KYUX - Yuma, AZ"), L("YUMA"), L("AZ"), 32.495281, -114.65671},
    {L("kemx"), L("KEMX - Tucson, AZ"), L("TUCSON"), L("AZ"), 31.89365, -110.63025},
    {L("kiwa"), L("KIWA - Phoenix, AZ"), L("PHOENIX"), L("AZ"), 33.289233, -111.66991},
    {L("kfsx"), L("KFSX - Flagstaff, AZ"), L("FLAGSTAFF"), L("AZ"), 34.574333, -111.19844},
    {L("kgjx"), L("KGJX - Grand Junction, CO"), L("GRAND JUNCTION"), L("CO"), 39.062169,
     -108.21376},
    {L("kriw"), L("KRIW - Riverton, WY"), L("RIVERTON"), L("WY"), 43.066089, -108.4773},
    {L("kblx"), L("KBLX - Billings, MT"), L("BILLINGS"), L("MT"), 45.853778, -108.6068},
    {L("kggw"), L("KGGW - Glasgow, MT"), L("GLASGOW"), L("MT"), 48.206361, -106.62469},
    {L("kmbx"), L("KMBX - Minot AFB, ND"), L("MINOT AFB"), L("ND"), 48.393056, -100.86444},
    {L("kbis"), L("KBIS - Bismark, ND"), L("BISMARCK"), L("ND"), 46.770833, -100.76055},
    {L("kabr"), L("KABR - Aberdeen, SD"), L("ABERDEEN"), L("SD"), 45.455833, -98.413333},
    {L("kmvx"), L("KMVX - Grand Forks, ND"), L("GRAND FORKS"), L("ND"), 47.527778, -97.325556},
    {L("kudx"), L("KUDX - Rapid City, SD"), L("RAPID CITY"), L("SD"), 44.124722, -102.83},
    {L("kfsd"), L("KFSD - Sioux Falls, SD"), L("SIOUX FALLS"), L("SD"), 43.587778, -96.729444},
    {L("kmpx"), L("KMPX - Minneapolis, MN"), L("MINNEAPOLIS"), L("MN"), 44.848889, -93.565528},
    {L("kdlh"), L("KDLH - Duluth, MN"), L("DULUTH"), L("MN"), 46.836944, -92.209722},
    {L("kmqt"), L("KMQT - Marquette, MI"), L("MARQUETTE"), L("MI"), 46.531111, -87.548333},
    {L("kgrb"), L("KGRB - Green Bay, WI"), L("GREEN BAY"), L("WI"), 44.498633, -88.111111},
    {L("karx"), L("KARX - La Crosse, WI"), L("LA CROSSE"), L("WI"), 43.822778, -91.191111},
    {L("kdmx"), L("KDMX - Des Moines, IA"), L("DES MOINES"), L("IA"), 41.7312, -93.722869},
    {L("koax"), L("KOAX - Omaha, NE"), L("OMAHA"), L("NE"), 41.320369, -96.366819},
    {L("kuex"), L("KUEX - Hastings, NE"), L("HASTINGS"), L("NE"), 40.320833, -98.441944},
    {L("klnx"), L("KLNX - North Platte, NE"), L("NORTH PLATTE"), L("NE"), 41.957944, -100.57622},
    {L("kcys"), L("KCYS - Cheyenne, WY"), L("CHEYENNE"), L("WY"), 41.151919, -104.80603},
    {L("kftg"), L("KFTG - Denver, CO"), L("DENVER FRONT RANGE AP"), L("CO"), 39.786639, -104.5458},
    {L("kpux"), L("KPUX - Pueblo, CO"), L("PUEBLO"), L("CO"), 38.45955, -104.18135},
    {L("kabx"), L("KABX - Albuquerque, NM"), L("ALBUQUERQUE"), L("NM"), 35.149722, -106.82388},
    {L("khdx"), L("KHDX - Holloman AFB, NM"), L("HOLLOMAN AFB"), L("NM"), 33.077, -106.12003},
    {L("kepz"), L("KEPZ - El Paso/Santa Teresa, NM"), L("EL PASO"), L("NM"), 31.873056, -106.698},
    {L("kfdx"), L("KFDX - Cannon AFB, NM"), L("CANNON AFB"), L("NM"), 34.634167, -103.61888},
    {L("kama"), L("KAMA - Amarillo, TX"), L("AMARILLO"), L("TX"), 35.233333, -101.70927},
    {L("klbb"), L("KLBB - Lubbock, TX"), L("LUBBOCK"), L("TX"), 33.654139, -101.81416},
    {L("kmaf"), L("KMAF - Midland/Odessa, TX"), L("MIDLAND ODESSA"), L("TX"), 31.943461,
     -102.18925},
    {L("ksjt"), L("KSJT - San Angelo, TX"), L("SAN ANGELO"), L("TX"), 31.371278, -100.4925},
    {L("kdyx"), L("KDYX - Dyess AFB, TX"), L("DYESS AFB"), L("TX"), 32.5385, -99.254333},
    {L("kfws"), L("KFWS - Dallas/Ft. Worth, TX"), L("DALLAS"), L("TX"), 32.573, -97.30315},
    {L("kgrk"), L("KGRK - Central Texas"), L("FORT HOOD"), L("TX"), 30.721833, -97.382944},
    {L("kewx"), L("KEWX - Austin/San Antonio, TX"), L("AUSTIN SAN ANTONIO"), L("TX"), 29.704056,
     -98.028611},
    {L("kdfx"), L("KDFX - Laughlin AFB, TX"), L("LAUGHLIN AFB"), L("TX"), 29.273139, -100.28033},
    {L("kcrp"), L("KCRP - Corpus Christi, TX"), L("CORPUS CHRISTI"), L("TX"), 27.784017, -97.51125},
    {L("kbro"), L("KBRO - Brownsville, TX"), L("BROWNSVILLE"), L("TX"), 25.916, -97.418967},
    {L("khgx"), L("KHGX - Houston/Galveston, TX"), L("HOUSTON"), L("TX"), 29.4719, -95.078733},
    {L("klch"), L("KLCH - Lake Charles, LA"), L("LAKE CHARLES"), L("LA"), 30.125306, -93.215889},
    {L("kpoe"), L("KPOE - Fort Polk, LA"), L("FORT POLK"), L("LA"), 31.155278, -92.976111},
    {L("kshv"), L("KSHV - Shreveport, LA"), L("SHREVEPORT"), L("LA"), 32.450833, -93.84125},
    {L("kfdr"), L("KFDR - Altus AFB, OK"), L("ALTUS AFB"), L("OK"), 34.362194, -98.976667},
    {L("ktlx"), L("KTLX - Oklahoma City, OK"), L("OKLAHOMA CITY"), L("OK"), 35.333361, -97.277761},
    {L("kinx"), L("KINX - Tulsa, OK"), L("TULSA"), L("OK"), 36.175131, -95.564161},
    {L("kvnx"), L("KVNX - Vance AFB, OK"), L("VANCE AFB"), L("OK"), 36.740617, -98.127717},
    {L("kddc"), L("KDDC - Dodge City, KS"), L("DODGE CITY"), L("KS"), 37.760833, -99.968889},
    {L("kgld"), L("KGLD - Goodland, KS"), L("GOODLAND"), L("KS"), 39.366944, -101.70027},
    {L("kict"), L("KICT - Wichita, KS"), L("WICHITA"), L("KS"), 37.654444, -97.443056},
    {L("ktwx"), L("KTWX - Topeka, KS"), L("TOPEKA"), L("KS"), 38.99695, -96.23255},
    {L("keax"), L("KEAX - Kansas City/Pleasant Hill, MO"), L("KANSAS CITY"), L("MO"), 38.81025,
     -94.264472},
    {L("ksgf"), L("KSGF - Springfield, MO"), L("SPRINGFIELD"), L("MO"), 37.235239, -93.400419},
    {L("ksrx"), L("KSRX - Western Arkansas/Ft. Smith, AR"), L("FORT SMITH"), L("AR"), 35.290417,
     -94.361889},
    {L("klzk"), L("KLZK - Little Rock, AR"), L("LITTLE ROCK"), L("AR"), 34.8365, -92.262194},
    {L("kdvn"), L("KDVN - Davenport/Quad Cities, IA"), L("DAVENPORT"), L("IA"), 41.611667,
     -90.580833},
    {L("kgrr"), L("KGRR - Grand Rapids, MI"), L("GRAND RAPIDS"), L("MI"), 42.893889, -85.544889},
    {L("kapx"), L("KAPX - Gaylord, MI"), L("GAYLORD"), L("MI"), 44.90635, -84.719533},
    {L("kdtx"), L("KDTX - Detroit, MI"), L("DETROIT"), L("MI"), 42.7, -83.471667},
    {L("kcle"), L("KCLE - Cleveland, OH"), L("CLEVELAND"), L("OH"), 41.413217, -81.859867},
    {L("kpbz"), L("KPBZ - Pittsburgh, PA"), L("PITTSBURGH"), L("PA"), 40.531717, -80.217967},
    {L("kccx"), L("KCCX - State Collegea, PA"), L("STATE COLLEGE"), L("PA"), 40.923167, -78.003722},
    {L("kbuf"), L("KBUF - Buffalo, NY"), L("BUFFALO"), L("NY"), 42.948789, -78.736781},
    {L("kbgm"), L("KBGM - Binghamton, NY"), L("BINGHAMTON"), L("NY"), 42.199694, -75.984722},
    {L("ktyx"), L("KTYX - Fort Drum, NY"), L("FORT DRUM"), L("NY"), 43.755694, -75.679861},
    {L("kenx"), L("KENX - Albany, NY"), L("ALBANY"), L("NY"), 42.586556, -74.064083},
    {L("kcxx"), L("KCXX - Burlington, VT"), L("BURLINGTON"), L("VT"), 44.511, -73.166431},
    {L("kgyx"), L("KGYX - Portland, ME"), L("PORTLAND"), L("ME"), 43.891306, -70.256361},
    {L("kcbw"), L("KCBW - Houlton, ME"), L("HOULTON"), L("ME"), 46.03925, -67.806431},
    {L("kbox"), L("KBOX - Boston, MA"), L("BOSTON"), L("MA"), 41.955778, -71.136861},
    {L("kokx"), L("KOKX - New York City, NY"), L("NEW YORK CITY"), L("NY"), 40.865528, -72.863917},
    {L("kdix"), L("KDIX - Philadelphia/Fort Dix, NJ"), L("PHILADELPHIA"), L("NJ"), 39.947089,
     -74.410731},
    {L("kdox"), L("KDOX - Dover AFB, DE"), L("DOVER AFB"), L("DE"), 38.825767, -75.440117},
    {L("klwx"), L("KLWX - Washington DC/Sterling, VA"), L("STERLING"), L("VA"), 38.976111,
     -77.4875},
    {L("kiwx"), L("KIWX - Fort Wayne, IN"), L("FORT WAYNE"), L("IN"), 41.358611, -85.7},
    {L("kind"), L("KIND - Indianapolis, IN"), L("INDIANAPOLIS"), L("IN"), 39.7075, -86.280278},
    {L("kilx"), L("KILX - Lincoln, IL"), L("LINCOLN"), L("IL"), 40.1505, -89.336792},
    {L("klsx"), L("KLSX - St. Louis, MO"), L("ST LOUIS"), L("MO"), 38.698611, -90.682778},
    {L("kpah"), L("KPAH - Paducah, KY"), L("PADUCAH"), L("KY"), 37.068333, -88.771944},
    {L("klvx"), L("KLVX - Louisville, KY"), L("LOUISVILLE"), L("KY"), 37.975278, -85.943889},
    {L("khpx"), L("KHPX - Fort Campbell, KY"), L("FORT CAMPBELL"), L("KY"), 36.736972, -87.285583},
    {L("kohx"), L("KOHX - Nashville, TN"), L("NASHVILLE"), L("TN"), 36.247222, -86.5625},
    {L("khtx"), L("KHTX - Northern Alabama"), L("HUNTSVILLE"), L("AL"), 34.930556, -86.083611},
    {L("knqa"), L("KNQA - Memphis, TN"), L("MEMPHIS"), L("TN"), 35.344722, -89.873333},
    {L("kgwx"), L("KGWX - Columbus AFB, MS"), L("COLUMBUS AFB"), L("MS"), 33.896917, -88.329194},
    {L("kdgx"), L("KDGX - Jackson/Brandon, MS"), L("JACKSON BRANDON"), L("MS"), 32.279944,
     -89.984444},
    {L("klix"), L("KLIX - New Orleans, LA"), L("NEW ORLEANS"), L("LA"), 30.336667, -89.825417},
    {L("kmob"), L("KMOB - Mobile, AL"), L("MOBILE"), L("AL"), 30.679444, -88.24},
    {L("kevx"), L("KEVX - Northwest Florida"), L("EGLIN AFB"), L("FL"), 30.565033, -85.921667},
    {L("keox"), L("KEOX - Fort Rucker, AL"), L("FORT RUCKER"), L("AL"), 31.460556, -85.459389},
    {L("kmxx"), L("KMXX - Maxwell AFB, AL"), L("MAXWELL AFB"), L("AL"), 32.53665, -85.78975},
    {L("kbmx"), L("KBMX - Birmingham, AL"), L("BIRMINGHAM"), L("AL"), 33.172417, -86.770167},
    {L("kffc"), L("KFFC - Atlanta, GA"), L("ATLANTA"), L("GA"), 33.36355, -84.56595},
    {L("kjgx"), L("KJGX - Robins AFB, GA"), L("ROBINS AFB"), L("GA"), 32.675683, -83.350833},
    {L("kvax"), L("KVAX - Moody AFB, GA"), L("MOODY AFB"), L("GA"), 30.890278, -83.001806},
    {L("ktlh"), L("KTLH - Tallahassee, FL"), L("TALLAHASSEE"), L("FL"), 30.397583, -84.328944},
    {L("ktbw"), L("KTBW - Tampa Bay, FL"), L("TAMPA"), L("FL"), 27.7055, -82.401778},
    {L("kbyx"), L("KBYX - Key West, FL"), L("KEY WEST"), L("FL"), 24.5975, -81.703167},
    {L("kamx"), L("KAMX - Miami, FL"), L("MIAMI"), L("FL"), 25.611083, -80.412667},
    {L("kmlb"), L("KMLB - Melbourne, FL"), L("MELBOURNE"), L("FL"), 28.113194, -80.654083},
    {L("kjax"), L("KJAX - Jacksonville, FL"), L("JACKSONVILLE"), L("FL"), 30.484633, -81.7019},
    {L("kclx"), L("KCLX - Charleston, SC"), L("CHARLESTON"), L("SC"), 32.655528, -81.042194},
    {L("kcae"), L("KCAE - Columbia, SC"), L("COLUMBIA"), L("SC"), 33.948722, -81.118278},
    {L("kgsp"), L("KGSP - Greenville/Spartanburg, SC"), L("GREER"), L("SC"), 34.883306, -82.219833},
    {L("kmrx"), L("KMRX - Knoxville, TN"), L("KNOXVILLE"), L("TN"), 36.168611, -83.401944},
    {L("kjkl"), L("KJKL - Jackson, KY"), L("JACKSON"), L("KY"), 37.590833, -83.313056},
    {L("kiln"), L("KILN - Cincinnati, OH"), L("CINCINNATI"), L("OH"), 39.420483, -83.82145},
    {L("krlx"), L("KRLX - Charleston, WV"), L("CHARLESTON"), L("WV"), 38.311111, -81.722778},
    {L("kfcx"), L("KFCX - Roanoke, VA"), L("ROANOKE"), L("VA"), 37.0244, -80.273969},
    {L("krax"), L("KRAX - Raleigh/Durham, NC"), L("RALEIGH DURHAM"), L("NC"), 35.665519, -78.48975},
    {L("kakq"), L("KAKQ - Wakefield, VA"), L("NORFOLK RICH"), L("VA"), 36.98405, -77.007361},
    {L("kmhx"), L("KMHX - Morehead City, NC"), L("MOREHEAD CITY"), L("NC"), 34.775908, -76.876189},
    {L("kltx"), L("KLTX - Wilmington, NC"), L("WILMINGTON"), L("NC"), 33.98915, -78.429108},
    {L("kmkx"), L("KMKX - Milwaukee, WI"), L("MILWAUKEE"), L("WI"), 42.9679, -88.550667},
    {L("kvwx"), L("KVWX - Evansville, IN"), L("EVANSVILLE"), L("IN"), 38.26025, -87.724528},
}};

} // namespace

std::span<const SiteRow> SiteTable() {
    return Sites;
}

QString SiteRow::stationTitle() const {
    return QString(code).toUpper() + QStringLiteral(" - ") + stationName + QStringLiteral(", ") +
           state;
}

const SiteRow* FindSite(const QString& code) {
    if (code.isEmpty())
        return nullptr;
    const QString lowered = code.toLower();
    for (const SiteRow& row : Sites) {
        if (lowered == row.code)
            return &row;
    }
    return nullptr;
}

QString SiteDescriptionFor(const QString& code) {
    const SiteRow* row = FindSite(code);
    return row ? QString(row->description) : QString();
}

} // namespace nubivista::radar
