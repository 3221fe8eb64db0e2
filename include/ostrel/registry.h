/* ostrel sysutil: file associations and registry values (part of
 * libostrel-sysutil, included by ostrel/sysutil.h).
 *
 * Associations and values written here go under HKEY_CLASSES_ROOT; reads take
 * the root. A key path is one text of words separated by spaces, each word one
 * key level below the previous one; a word in double quotes may hold spaces.
 * Paths are at most SYSUTIL_MAX_KEY_PATH bytes; longer ones, empty words and
 * words with an unbalanced quote are refused before anything is done.
 *
 * A null text is a null pointer, an empty text, or a text beginning with "NULL";
 * optional text arguments are skipped when they are null texts. Verb texts: a
 * leading "*" marks the default verb and is not part of the menu text; "&" marks
 * the menu mnemonic and is dropped from a verb key name derived from the text.
 *
 * associate_type and unassociate_type also keep the desktop's view in step: the
 * extension's MIME type, a desktop entry per verb and the default verb as the
 * type's default application (docs/registry.md). Keys these functions open for
 * themselves are closed again; the key open_key_path returns is the caller's.
 */
#ifndef OSTREL_REGISTRY_H
#define OSTREL_REGISTRY_H

#include "ostrel/win_registry.h"

enum {
    SYSUTIL_MAX_KEY_PATH = 259,   /* longest key path, in bytes */
    SYSUTIL_TYPE_NAME = 512,      /* type-name, verb and command outputs */
    SYSUTIL_KEY_TEXT = 256,       /* the output of read_key_text */
    SYSUTIL_MAX_VERBS = 10,       /* slots of list_verbs */
    SYSUTIL_VERB_SLOT = 256       /* bytes of one slot of list_verbs */
};

/* Registers a file type (name: an extension with its leading dot, or a type
 * name), its icon ("program,index") and one verb with its command line ("%1" is
 * the file). verb_key: the verb's key name; a null text derives it from the verb
 * text. */
void associate_type(const char* name, const char* icon, const char* verb_text,
                    const char* command, const char* verb_key);
/* Removes the icon and the verb registered with the same arguments (icon and
 * command are not used); the extension and the type stay. */
void unassociate_type(const char* name, const char* icon, const char* verb_text,
                      const char* command, const char* verb_key);

int is_null_text(const char* text);
/* Copies source into target without its '&' characters; target. */
char* strip_ampersands(const char* source, char* target);

/* The key named by the path below root, missing levels created (each reported
 * " <word> created" through the trace hook) unless open_only is set, when a
 * missing level gives null. Null for a refused path. */
HKEY open_key_path(const char* key_path, HKEY root, int open_only);
/* Writes text (with its terminator) as a string value of the key under
 * HKEY_CLASSES_ROOT, creating missing levels. A null or empty value name is the
 * key's default value. The registry's status (ERROR_SUCCESS, ...). */
LONG set_key_value(const char* key_path, const char* value_name, const char* text);
/* With a null-text subkey, deletes the key named by the path text itself under
 * HKEY_CLASSES_ROOT (the text is one key name, '\' separating levels);
 * otherwise the subkey of the key the path opens. A key with subkeys is not
 * deleted. The registry's status. */
LONG delete_key(const char* key_path, const char* subkey);
/* Reads a value of an existing key into buffer (buffer_size bytes); its type
 * into *value_type when that is not null. 1, or 0 when the key or value is
 * missing or does not fit. */
int read_key_value(void* buffer, DWORD buffer_size, DWORD* value_type, const char* value_name,
                   const char* key_path, HKEY root);
/* A string value of at most SYSUTIL_KEY_TEXT bytes (terminator included) into
 * out (SYSUTIL_KEY_TEXT bytes); 1 or 0, out unchanged on 0. */
int read_key_text(char* out, const char* value_name, const char* key_path, HKEY root);

/* The type name of name (an extension or other key whose default value names
 * the type; a name beginning with "Folder" is itself the type) into type_name
 * (SYSUTIL_TYPE_NAME bytes), with the type key and its "shell" subkey opened
 * (the caller's to close). 1, or 0 with nothing open. */
int open_type_keys(const char* name, char* type_name, HKEY* type_key, HKEY* shell_key);
/* The command line of the type's default verb into out (SYSUTIL_TYPE_NAME
 * bytes); 1 or 0. */
int open_command(const char* name, char* out);
/* The key name of the type's default verb ("open" when it names none) into out
 * (SYSUTIL_TYPE_NAME bytes); 1 or 0. */
int default_verb(const char* name, char* out);
/* The type's verbs: key names and menu texts (a blank menu text becomes the key
 * name), SYSUTIL_MAX_VERBS slots of SYSUTIL_VERB_SLOT bytes each. The number of
 * verbs (at most SYSUTIL_MAX_VERBS), or 0. */
int list_verbs(const char* name, char verb_keys[][SYSUTIL_VERB_SLOT],
               char verb_texts[][SYSUTIL_VERB_SLOT]);

#endif
