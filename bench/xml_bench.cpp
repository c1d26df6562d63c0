// Benchmark of the XML engine against pugixml's in-place parse of the same
// text: parse and release, a batch of path queries, and peak heap use.
//
// Descriptors of 1, 10 and 50 MB are generated: many nvx packages, each with
// releases, variant groups of items and data elements, attributes, text and
// entities. Each figure is the best of several runs.
#include <malloc.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <pugixml.hpp>
#include <string>
#include <vector>

#include "xml/xml.h"

// --- Heap accounting: every allocation of the process, pugixml's included ---

extern "C" {
void* __libc_malloc(size_t);
void* __libc_calloc(size_t, size_t);
void* __libc_realloc(void*, size_t);
void __libc_free(void*);
void* __libc_memalign(size_t, size_t);
}

namespace {
size_t g_live = 0;
size_t g_peak = 0;
inline void Account(void* p) {
  if (p == nullptr) return;
  g_live += malloc_usable_size(p);
  if (g_live > g_peak) g_peak = g_live;
}
inline void Unaccount(void* p) {
  if (p != nullptr) g_live -= malloc_usable_size(p);
}
}  // namespace

extern "C" {
void* malloc(size_t size) {
  void* p = __libc_malloc(size);
  Account(p);
  return p;
}
void* calloc(size_t n, size_t size) {
  void* p = __libc_calloc(n, size);
  Account(p);
  return p;
}
void* realloc(void* old, size_t size) {
  Unaccount(old);
  void* p = __libc_realloc(old, size);
  if (p == nullptr && size != 0) {
    Account(old);
    return nullptr;
  }
  Account(p);
  return p;
}
void free(void* p) {
  Unaccount(p);
  __libc_free(p);
}
void* memalign(size_t alignment, size_t size) {
  void* p = __libc_memalign(alignment, size);
  Account(p);
  return p;
}
int posix_memalign(void** out, size_t alignment, size_t size) {
  void* p = __libc_memalign(alignment, size);
  if (p == nullptr) return 12;  // ENOMEM
  Account(p);
  *out = p;
  return 0;
}
void* aligned_alloc(size_t alignment, size_t size) { return memalign(alignment, size); }
}

namespace {

// CPU time of this process (user and system): on a shared machine it counts
// only the work done here, not the time other processes held the CPU.
struct Clock {
  using time_point = double;
  static double now() {
    timespec t;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
  }
};

double Seconds(double a, double b) { return b - a; }

struct Random {
  uint32_t state = 12345;
  uint32_t Next() {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
  }
};

// One package: releases with literal values and variant groups.
void AppendPackage(std::string* out, unsigned index, Random* random) {
  char id[32];
  snprintf(id, sizeof(id), "PKG%06u", index);
  *out += "  <nvx id=\"";
  *out += id;
  *out += "\" type=\"driver\">\n    <xrelease>\n";
  unsigned releases = 1 + random->Next() % 3;
  for (unsigned r = 0; r < releases; ++r) {
    char rid[16];
    snprintf(rid, sizeof(rid), "R%u", r);
    *out += "      <release id=\"";
    *out += rid;
    *out += "\" date=\"2004-0" + std::to_string(1 + r) + "-15\">\n";
    *out += "        <title>Package " + std::to_string(index) + " &amp; tools</title>\n";
    *out += "        <version>3." + std::to_string(r) + "." +
            std::to_string(random->Next() % 10000) + "</version>\n";
    *out += "        <setup form=\"GUI\" success=\"0\">setup.exe /S</setup>\n";
    *out += "        <os id=\"NT\" type=\"WORKSTATION\">4.00</os>\n";
    *out += "        <name method=\"LANGUAGE\" default=\"0409\">\n";
    static const char* kLanguages[] = {"0407", "0409", "040C", "0410", "0411", "0C0A"};
    for (const char* language : kLanguages) {
      *out += "          <item id=\"";
      *out += language;
      *out += "\"><data id=\"name\">Name &quot;";
      *out += language;
      *out += "&quot; &lt;" + std::to_string(random->Next() % 1000) +
              "&gt;</data><data id=\"help\">Help text for this language</data></item>\n";
    }
    *out += "        </name>\n      </release>\n";
  }
  *out += "    </xrelease>\n  </nvx>\n";
}

std::string Generate(size_t target, unsigned* packages) {
  std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!-- generated -->\n<build>\n";
  Random random;
  unsigned index = 0;
  while (text.size() < target) AppendPackage(&text, index++, &random);
  text += "</build>\n";
  *packages = index;
  return text;
}

struct Figures {
  double parseSeconds = 1e30;
  double querySeconds = 1e30;
  size_t peakBytes = 0;
  size_t found = 0;
};

const int kQueries = 2000;

std::vector<unsigned> QueryPackages(unsigned packages) {
  std::vector<unsigned> ids;
  Random random;
  random.state = 777;
  for (int i = 0; i < kQueries; ++i) ids.push_back(random.Next() % packages);
  return ids;
}

Figures RunEngine(const std::string& text, unsigned packages, int rounds) {
  Figures f;
  std::vector<unsigned> ids = QueryPackages(packages);
  for (int round = 0; round < rounds; ++round) {
    size_t base = g_live;
    g_peak = g_live;
    Clock::time_point a = Clock::now();
    XmlDocument* document = XmlParseDocument(text.data(), static_cast<int32_t>(text.size()));
    Clock::time_point b = Clock::now();
    if (document == nullptr) {
      fprintf(stderr, "engine refused the document\n");
      exit(1);
    }
    size_t found = 0;
    char path[260];
    Clock::time_point c = Clock::now();
    for (unsigned id : ids) {
      snprintf(path, sizeof(path), "/build/nvx[@id=PKG%06u]/xrelease/release[@id=R0]/title", id);
      XmlNode* node;
      if (XmlSelectNode(path, &node, document)) found += strlen(node->text) > 0;
    }
    Clock::time_point d = Clock::now();
    size_t peak = g_peak - base;
    XmlReleaseDocument(document);
    Clock::time_point e = Clock::now();
    f.parseSeconds = std::min(f.parseSeconds, Seconds(a, b) + Seconds(d, e));
    f.querySeconds = std::min(f.querySeconds, Seconds(c, d));
    f.peakBytes = std::max(f.peakBytes, peak);
    f.found = found;
  }
  return f;
}

Figures RunPugixml(const std::string& text, unsigned packages, int rounds) {
  Figures f;
  std::vector<unsigned> ids = QueryPackages(packages);
  std::vector<char> buffer(text.size());
  for (int round = 0; round < rounds; ++round) {
    memcpy(buffer.data(), text.data(), text.size());  // in place: a fresh copy each round
    size_t base = g_live;
    g_peak = g_live;
    Clock::time_point a = Clock::now();
    pugi::xml_document* document = new pugi::xml_document;
    pugi::xml_parse_result result = document->load_buffer_inplace(buffer.data(), buffer.size());
    Clock::time_point b = Clock::now();
    if (!result) {
      fprintf(stderr, "pugixml refused the document: %s\n", result.description());
      exit(1);
    }
    size_t found = 0;
    char id[32];
    Clock::time_point c = Clock::now();
    pugi::xml_node build = document->child("build");
    for (unsigned n : ids) {
      snprintf(id, sizeof(id), "PKG%06u", n);
      pugi::xml_node title = build.find_child_by_attribute("nvx", "id", id)
                                 .child("xrelease")
                                 .find_child_by_attribute("release", "id", "R0")
                                 .child("title");
      if (title) found += strlen(title.child_value()) > 0;
    }
    Clock::time_point d = Clock::now();
    size_t peak = g_peak - base;
    delete document;
    Clock::time_point e = Clock::now();
    f.parseSeconds = std::min(f.parseSeconds, Seconds(a, b) + Seconds(d, e));
    f.querySeconds = std::min(f.querySeconds, Seconds(c, d));
    f.peakBytes = std::max(f.peakBytes, peak);
    f.found = found;
  }
  return f;
}

// Runs one library in a process of its own, so that neither inherits the
// other's heap (the allocator's thresholds move with what was freed before).
Figures InChild(Figures (*run)(const std::string&, unsigned, int), const std::string& text,
                unsigned packages, int rounds) {
  int channel[2];
  if (pipe(channel) != 0) {
    perror("pipe");
    exit(1);
  }
  fflush(stdout);
  pid_t child = fork();
  if (child == 0) {
    close(channel[0]);
    Figures f = run(text, packages, rounds);
    ssize_t written = write(channel[1], &f, sizeof(f));
    _exit(written == static_cast<ssize_t>(sizeof(f)) ? 0 : 1);
  }
  close(channel[1]);
  Figures f;
  ssize_t got = read(channel[0], &f, sizeof(f));
  close(channel[0]);
  int status = 0;
  waitpid(child, &status, 0);
  if (got != static_cast<ssize_t>(sizeof(f)) || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    fprintf(stderr, "a benchmark run failed\n");
    exit(1);
  }
  return f;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<size_t> sizes = {1, 10, 50};
  if (argc > 1) {
    sizes.clear();
    for (int i = 1; i < argc; ++i) sizes.push_back(strtoul(argv[i], nullptr, 10));
  }
  const double mb = 1024.0 * 1024.0;
  printf("parse+release: XmlParseDocument/XmlReleaseDocument vs pugixml load_buffer_inplace\n");
  printf("(default flags) and document release; queries: %d path queries\n", kQueries);
  printf("\"/build/nvx[@id=...]/xrelease/release[@id=R0]/title\" vs the same walk with\n");
  printf("pugixml's find_child_by_attribute/child; peak: heap in use during parse and queries\n");
  printf("beyond the input text (the engine's figure includes its private text copy).\n");
  printf("Times are CPU time (user and system), best of several rounds, each library in a\n");
  printf("process of its own.\n\n");
  printf("%8s %9s | %12s %12s %6s | %12s %12s %6s | %10s %10s %6s\n", "size", "nodes",
         "engine MB/s", "pugixml MB/s", "ratio", "engine q/s", "pugixml q/s", "ratio", "engine MB",
         "pugixml MB", "ratio");
  for (size_t size : sizes) {
    unsigned packages = 0;
    std::string text = Generate(size * 1024 * 1024, &packages);
    int rounds = size <= 1 ? 20 : size <= 10 ? 8 : 4;
    Figures engine = InChild(RunEngine, text, packages, rounds);
    Figures pugi = InChild(RunPugixml, text, packages, rounds);
    if (engine.found != pugi.found || engine.found != static_cast<size_t>(kQueries)) {
      fprintf(stderr, "the two found different results: %zu and %zu\n", engine.found, pugi.found);
      return 1;
    }
    size_t nodes = 0;  // start tags, declaration and comment
    for (size_t i = 0; i + 1 < text.size(); ++i) nodes += text[i] == '<' && text[i + 1] != '/';
    double textMb = static_cast<double>(text.size()) / mb;
    double engineRate = textMb / engine.parseSeconds;
    double pugiRate = textMb / pugi.parseSeconds;
    double engineQueries = kQueries / engine.querySeconds;
    double pugiQueries = kQueries / pugi.querySeconds;
    printf("%6.1fMB %9zu | %12.0f %12.0f %6.2f | %12.0f %12.0f %6.2f | %10.1f %10.1f %6.2f\n",
           textMb, nodes, engineRate, pugiRate, engineRate / pugiRate, engineQueries, pugiQueries,
           engineQueries / pugiQueries, engine.peakBytes / mb, pugi.peakBytes / mb,
           static_cast<double>(engine.peakBytes) / static_cast<double>(pugi.peakBytes));
  }
  return 0;
}
