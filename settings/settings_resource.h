// Resource identifiers of the settings program, shared by its .rc file and
// its code.
#pragma once

#define IDI_SETTINGS 100
#define IDD_SETTINGS 200

#define IDC_SPECIES_FIRST 1000  // 17 check boxes, one per "FISHES" bit
#define IDC_ALL 1100
#define IDC_NONE 1101
#define IDC_SCENE 1110
#define IDC_BROWSE 1111
#define IDC_PICTURE 1112
#define IDC_FILE_NAME 1113
#define IDC_TEXT 1120
#define IDC_FONT 1121
#define IDC_COLOUR 1122
#define IDC_SAMPLE 1123
#define IDC_SOUND 1130
#define IDC_FILL 1131
#define IDC_FILL_LABEL 1139
#define IDC_SAME_SCENE 1152
#define IDC_VOLUME 1132
#define IDC_VOLUME_LABEL 1133
#define IDC_VOLUME_TEXT 1134
#define IDC_SOUND_MINUTES 1135
#define IDC_SOUND_MINUTES_LABEL 1136
#define IDC_SOUND_CHANGE 1137
#define IDC_SOUND_CHANGE_LABEL 1138
#define IDC_CLOCK 1150
#define IDC_CLOCK_KIND 1151
#define IDC_PREVIEW 1140
#define IDC_APPLY 1141
