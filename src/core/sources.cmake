# core: portable things every layer shares (settings model and keys, path text, date and time,
# version text, the source record, the registry interface, the What's-This texts). Lowest layer:
# includes no other folder and no Windows header.
zv_portable(PathText.cpp FileNameCase.cpp Settings.cpp SettingsFile.cpp NamedFormats.cpp VersionText.cpp OpenByAssociation.cpp ProcessState.cpp HelpTopics.cpp)
