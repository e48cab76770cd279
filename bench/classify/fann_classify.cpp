// FANN 2.2 side of bench/classify.py: trains a one-hidden-layer sigmoid network on a pattern file
// for a fixed number of epochs and prints, as one JSON line, the test misclassification of the
// final weights and of the weights that did best on the validation set (fewest misclassified,
// then lowest MSE), with the epoch they came from and the training time.
//
// usage: fann_classify TRAIN.pat VALID.pat TEST.pat HIDDEN EPOCHS SEED rprop|quickprop|batch
// The .pat files read as FANN training files: a header of three counts, then the numbers.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <floatfann.h>

namespace {

struct Score
{
    int wrong = 0;
    double mse = 0.0;
};

int classOf(const fann_type *v, unsigned n)
{
    if (n == 1) {
        return v[0] > 0.5f ? 1 : 0;
    }
    unsigned best = 0;
    for (unsigned k = 1; k < n; ++k) {
        if (v[k] > v[best]) {
            best = k;
        }
    }
    return int(best);
}

Score score(fann *ann, fann_train_data *data)
{
    Score s;
    const unsigned nout = fann_num_output_train_data(data);
    for (unsigned p = 0; p < fann_length_train_data(data); ++p) {
        const fann_type *y = fann_run(ann, data->input[p]);
        for (unsigned k = 0; k < nout; ++k) {
            const double d = double(y[k]) - data->output[p][k];
            s.mse += d * d;
        }
        if (classOf(y, nout) != classOf(data->output[p], nout)) {
            ++s.wrong;
        }
    }
    s.mse /= double(fann_length_train_data(data)) * nout;
    return s;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 8) {
        std::fprintf(stderr,
                     "usage: fann_classify TRAIN VALID TEST HIDDEN EPOCHS SEED ALGORITHM\n");
        return 2;
    }
    fann_train_data *train = fann_read_train_from_file(argv[1]);
    fann_train_data *valid = fann_read_train_from_file(argv[2]);
    fann_train_data *test = fann_read_train_from_file(argv[3]);
    if (!train || !valid || !test) {
        return 1;
    }
    const unsigned hidden = unsigned(std::atoi(argv[4]));
    const int epochs = std::atoi(argv[5]);
    std::srand(unsigned(std::atoi(argv[6])));
    fann *ann = fann_create_standard(3, fann_num_input_train_data(train), hidden,
                                     fann_num_output_train_data(train));
    fann_set_activation_function_hidden(ann, FANN_SIGMOID);
    fann_set_activation_function_output(ann, FANN_SIGMOID);
    const char *algorithm = argv[7];
    fann_set_training_algorithm(ann,
                                std::strcmp(algorithm, "batch") == 0 ? FANN_TRAIN_BATCH
                                        : std::strcmp(algorithm, "quickprop") == 0
                                        ? FANN_TRAIN_QUICKPROP
                                        : FANN_TRAIN_RPROP);
    fann_init_weights(ann, train);

    const auto start = std::chrono::steady_clock::now();
    Score best {1 << 30, 1e30};
    int bestEpoch = 0;
    std::vector<fann_connection> bestWeights(fann_get_total_connections(ann));
    for (int e = 1; e <= epochs; ++e) {
        fann_train_epoch(ann, train);
        const Score v = score(ann, valid);
        if (v.wrong < best.wrong || (v.wrong == best.wrong && v.mse < best.mse)) {
            best = v;
            bestEpoch = e;
            fann_get_connection_array(ann, bestWeights.data());
        }
    }
    const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const unsigned n = fann_length_train_data(test);
    const Score last = score(ann, test);
    fann_set_weight_array(ann, bestWeights.data(), unsigned(bestWeights.size()));
    const Score kept = score(ann, test);
    std::printf("{\"final\": %.4f, \"best\": %.4f, \"bestEpoch\": %d, \"seconds\": %.4f}\n",
                100.0 * last.wrong / n, 100.0 * kept.wrong / n, bestEpoch, seconds);
    fann_destroy(ann);
    fann_destroy_train(train);
    fann_destroy_train(valid);
    fann_destroy_train(test);
    return 0;
}
