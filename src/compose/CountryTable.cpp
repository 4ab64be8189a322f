#include "compose/CountryTable.h"

#include "settings/SettingsHolder.h"

namespace {

constexpr TCountry kCountries[kCountryCount] = {
    {"Aruba", "+297"},
    {"Afghanistan", "+93"},
    {"Albania", "+355"},
    {"Algeria", "+213"},
    {"American Samoa", "+684"},
    {"Andorra", "+376"},
    {"Angola", "+244"},
    {"Anguilla", "+1264"},
    {"Antarctica", "+672"},
    {"Antigua - Barbuda", "+1268"},
    {"Argentina", "+54"},
    {"Armenia", "+374"},
    {"Australia", "+61"},
    {"Austria", "+43"},
    {"Azerbaijan", "+994"},
    {"Bahamas", "+1242"},
    {"Bahrain", "+973"},
    {"Bangladesh", "+880"},
    {"Barbados", "+1246"},
    {"Belarus", "+375"},
    {"Belgium", "+32"},
    {"Belize", "+501"},
    {"Benin", "+229"},
    {"Bermuda", "+1441"},
    {"Bhutan", "+975"},
    {"Bolivia", "+591"},
    {"Bosnia - Herzegovina", "+387"},
    {"Botswana", "+267"},
    {"Bouvet Island (NOR)", "+"},
    {"Brazil", "+55"},
    {"British Indian Ocean Territory", "+"},
    {"Brunei Darussalam", "+673"},
    {"Bulgaria", "+359"},
    {"Burkina Faso", "+226"},
    {"Burundi", "+257"},
    {"Cambodia", "+855"},
    {"Cameroon", "+237"},
    {"Canada", "+1"},
    {"Cape Verde", "+238"},
    {"Cayman Islands", "+1345"},
    {"Central African Republic", "+236"},
    {"Chad", "+235"},
    {"Chile", "+56"},
    {"China", "+86"},
    {"Christmas Island", "+61"},
    {"Cocos (Keeling) Islands", "+61"},
    {"Colombia", "+57"},
    {"Comoros", "+269"},
    {"Congo, Republic of the", "+243"},
    {"Congo, The Democratic Republic of", "+243"},
    {"Cook Islands", "+682"},
    {"Costa Rica", "+506"},
    {"Croatia", "+385"},
    {"Cuba", "+53"},
    {"Cyprus", "+357"},
    {"Czech Republic", "+420"},
    {"Denmark", "+45"},
    {"Djibouti", "+253"},
    {"Dominica", "+1767"},
    {"Dominican Republic", "+1809"},
    {"East Timor", "+670"},
    {"Ecuador", "+593"},
    {"Egypt", "+20"},
    {"El Salvador", "+503"},
    {"Equatorial Guinea", "+240"},
    {"Eritrea", "+291"},
    {"Estonia", "+372"},
    {"Ethiopia", "+251"},
    {"Falkland Islands (Islas Malvinas)", "+500"},
    {"Faroe Islands (DEN)", "+298"},
    {"Fiji", "+679"},
    {"Finland", "+358"},
    {"France", "+33"},
    {"French Guiana (FR)", "+594"},
    {"French Polynesia", "+689"},
    {"French Southern and Antarctica Lands (FR)", "+95"},
    {"Gabon", "+241"},
    {"Gambia", "+220"},
    {"Georgia", "+995"},
    {"Germany", "+49"},
    {"Ghana", "+233"},
    {"Gibraltar", "+350"},
    {"Greece", "+30"},
    {"Greenland", "+299"},
    {"Grenada", "+1473"},
    {"Guadeloupe", "+590"},
    {"Guam", "+671"},
    {"Guatemala", "+502"},
    {"Guinea", "+224"},
    {"Guinea-Bissau", "+245"},
    {"Guyana", "+592"},
    {"Haiti", "+509"},
    {"Heard And Mc Donald Isles", "+"},
    {"Honduras", "+504"},
    {"Hong Kong", "+852"},
    {"Hungary", "+36"},
    {"Iceland", "+354"},
    {"India", "+91"},
    {"Indonesia", "+62"},
    {"Iran", "+98"},
    {"Iraq", "+964"},
    {"Ireland", "+353"},
    {"Israel", "+972"},
    {"Italy", "+39"},
    {"Ivory Coast (Cote D'Ivoire)", "+225"},
    {"Jamaica", "+1876"},
    {"Japan", "+81"},
    {"Jordan", "+962"},
    {"Kazakhstan", "+996"},
    {"Kenya", "+254"},
    {"Kiribati", "+686"},
    {"Korea, Dem People's Rep", "+82"},
    {"Korea, Republic Of", "+82"},
    {"Kuwait", "+965"},
    {"Kyrgyzstan", "+996"},
    {"Laos", "+856"},
    {"Latvia", "+371"},
    {"Lebanon", "+961"},
    {"Lesotho", "+266"},
    {"Liberia", "+231"},
    {"Libya", "+218"},
    {"Liechtenstein", "+423"},
    {"Lithuania", "+370"},
    {"Luxembourg", "+352"},
    {"Macau", "+853"},
    {"Macedonia F.Y.R.O.", "+389"},
    {"Madagascar", "+261"},
    {"Malawi", "+265"},
    {"Malaysia", "+60"},
    {"Maldives", "+960"},
    {"Mali", "+223"},
    {"Malta", "+356"},
    {"Marshall Islands", "+692"},
    {"Martinique", "+59"},
    {"Mauritania", "+222"},
    {"Mauritius", "+230"},
    {"Mayotte (FR)", "+269"},
    {"Mexico", "+52"},
    {"Micronesia, Federal States of", "+691"},
    {"Moldova", "+373"},
    {"Monaco", "+377"},
    {"Mongolia", "+976"},
    {"Montserrat", "+1664"},
    {"Morocco", "+212"},
    {"Mozambique", "+258"},
    {"Myanmar", "+95"},
    {"Namibia", "+264"},
    {"Nauru", "+674"},
    {"Nepal", "+977"},
    {"Netherlands", "+31"},
    {"Netherlands Antilles", "+31"},
    {"New Caledonia", "+687"},
    {"New Zealand", "+64"},
    {"Nicaragua", "+505"},
    {"Niger", "+234"},
    {"Nigeria", "+234"},
    {"Niue (NZ)", "+683"},
    {"Norfolk Island", "+672"},
    {"Northern Mariana Isles", "+670"},
    {"Norway", "+47"},
    {"Oman", "+968"},
    {"Pakistan", "+92"},
    {"Palau", "+680"},
    {"Panama", "+507"},
    {"Papua New Guinea", "+975"},
    {"Paraguay", "+595"},
    {"Peru", "+51"},
    {"Philippines", "+63"},
    {"Pitcairn Island", "+"},
    {"Poland", "+48"},
    {"Portugal", "+351"},
    {"Puerto Rico", "+1787"},
    {"Qatar", "+974"},
    {"Reunion (FR)", "+262"},
    {"Romania", "+40"},
    {"Russian Federation", "+7"},
    {"Rwanda", "+250"},
    {"S Georgia - S Sandwich Islands (UK)", "+44"},
    {"Saint Kitts - Nevis", "+1869"},
    {"Saint Lucia", "+1758"},
    {"Saint Vincent - Grenadines", "+1784"},
    {"Samoa", "+685"},
    {"San Marino", "+39"},
    {"Sao Tome - Principe", "+239"},
    {"Saudi Arabia", "+966"},
    {"Senegal", "+221"},
    {"Seychelles", "+248"},
    {"Sierra Leona", "+232"},
    {"Singapore", "+65"},
    {"Slovakia (Slovak Republic)", "+421"},
    {"Slovenia", "+386"},
    {"Solomon Islands", "+677"},
    {"Somalia", "+252"},
    {"South Africa", "+27"},
    {"Spain", "+34"},
    {"Sri Lanka", "+94"},
    {"St. Helena", "+290"},
    {"St. Pierre - Miquelon", "+508"},
    {"Sudan", "+249"},
    {"Suriname", "+597"},
    {"Svalbard - Jan Mayen Islands", "+47"},
    {"Swaziland", "+268"},
    {"Sweden", "+46"},
    {"Switzerland", "+41"},
    {"Syria", "+963"},
    {"Taiwan", "+886"},
    {"Tajikistan", "+737"},
    {"Tanzania", "+255"},
    {"Thailand", "+66"},
    {"Togo", "+228"},
    {"Tokelau", "+690"},
    {"Tonga", "+676"},
    {"Trinidad - Tobago", "+1868"},
    {"Tunisia", "+216"},
    {"Turkey", "+90"},
    {"Turkmenistan", "+993"},
    {"Turks - Caicos Islands", "+1649"},
    {"Tuvalu", "+688"},
    {"Uganda", "+256"},
    {"Ukraine", "+380"},
    {"United Arab Emirates", "+971"},
    {"United Kingdom", "+44"},
    {"United States", "+1"},
    {"Uruguay", "+598"},
    {"US Minor Outlying Isles", "+1"},
    {"Uzbekistan", "+998"},
    {"Vanuatu", "+678"},
    {"Venezuela", "+58"},
    {"Vietnam", "+84"},
    {"Virgin Isles (British)", "+1"},
    {"Virgin Isles (U.S.)", "+1"},
    {"Wallis - Futuna Islands", "+681"},
    {"Western Sahara", "+"},
    {"Yemen", "+967"},
    {"Yugoslavia", "+381"},
    {"Zambia", "+260"},
    {"Zimbabwe", "+263"},
};

} // namespace

const TCountry& CountryAt(int row)
{
    Q_ASSERT(row >= 0 && row < kCountryCount);
    return kCountries[row];
}

QString CountryName(int row)
{
    return row >= 0 && row < kCountryCount ? QString::fromLatin1(kCountries[row].Name) : QString();
}

QString CountryPrefix(int row)
{
    return row >= 0 && row < kCountryCount ? QString::fromLatin1(kCountries[row].Prefix) : QString();
}

QString InitialPrefixLabel()
{
    return QStringLiteral("+39");
}

int FindCountryByName(QStringView name)
{
    if (name.isEmpty())
        return -1;
    for (int row = 0; row < kCountryCount; ++row)
        if (name.compare(QLatin1StringView(kCountries[row].Name), Qt::CaseInsensitive) == 0)
            return row;
    return -1;
}

TCountryMatch FindCountryOfNumber(QStringView number)
{
    // A one-character number ("+" alone) has no prefix to look up.
    for (int length = 5; length >= 2 && number.size() >= 2; --length) {
        const QStringView head = number.left(length);
        for (int row = 0; row < kCountryCount; ++row) {
            if (head == QLatin1StringView(kCountries[row].Prefix))
                return {row, number.mid(QLatin1StringView(kCountries[row].Prefix).size()).toString()};
        }
    }
    return {-1, number.toString()};
}

QString RememberCountry(TSettingsHolder& settings, int row)
{
    settings.LastIntPrefix = CountryName(row);
    settings.SaveSettings();
    return CountryPrefix(row);
}
