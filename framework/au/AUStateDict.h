#pragma once

#include "framework/plugin/ByteChunk.h"
#include "platform/CFDictionary.h"
#include "platform/CFNumber.h"

// The typed entries of the saved-state dictionary. Keys and texts are UTF-8.
// [UI thread]

void PutNumberInDict(CFMutableDictionaryRef dict, const char* key, const void* number,
                     CFNumberType type);
void PutStrInDict(CFMutableDictionaryRef dict, const char* key, const char* text);
void PutDataInDict(CFMutableDictionaryRef dict, const char* key, const ByteChunk* chunk);

// Whether the key is there, whatever its value.
bool DictHasKey(CFDictionaryRef dict, const char* key);
// Each getter is true when the key holds a value of its type. The number
// getter writes the value converted to type even when the conversion loses
// something.
bool GetNumberFromDict(CFDictionaryRef dict, const char* key, void* number, CFNumberType type);
bool GetDataFromDict(CFDictionaryRef dict, const char* key, ByteChunk* chunk);
// The stored string itself (not retained), or null.
CFStringRef GetStrFromDict(CFDictionaryRef dict, const char* key);
